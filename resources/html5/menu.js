(function () {
	'use strict';
	var menu = document.currentScript.previousElementSibling;
	var marked = [];
	function pageOf(address) {
		return address.split('#')[0].split('?')[0].replace(/%[0-9a-f]{2}/gi, function (code) {
			var c = String.fromCharCode(parseInt(code.slice(1), 16));
			return /[\w.~-]/.test(c) ? c : code.toUpperCase();
		}).replace(/\/index\.html?$/, '/');
	}
	function decoded(text) {
		try {
			return decodeURIComponent(text);
		} catch (e) {
			return text;
		}
	}
	function mark(links) {
		marked.forEach(function (link) { link.removeAttribute('aria-current'); });
		marked = links;
		links.forEach(function (link) {
			link.setAttribute('aria-current', 'page');
			for (var up = link.parentNode; up !== menu; up = up.parentNode) {
				if (up.tagName === 'DETAILS')
					up.open = true;
			}
		});
	}
	var here = pageOf(location.href);
	var path = location.pathname.replace(/\/index\.html?$/, '/');
	var slash = path.slice(-1) === '/' ? '/' : '';
	var folder = path.slice(0, path.length - slash.length);
	var page = decoded(folder.slice(folder.lastIndexOf('/') + 1)) + slash;
	var current = [];
	[page.replace(/[\0- %#?\x7f]/g, encodeURIComponent), '?'].forEach(function (key) {
		for (var n = 1, item; (item = document.getElementById('INDEX_PREFIX' + key + (n > 1 ? '#' + n : ''))); n++) {
			var link = item.firstElementChild;
			if (menu.contains(item) && link.href && pageOf(link.href) === here)
				current.push(link);
		}
	});
	mark(current);
	menu.addEventListener('click', function (event) {
		var link = event.target.closest('a[href][target]');
		if (link && link.target !== '_blank' && !/^[\0- ]*#/.test(link.getAttribute('href')) && event.button === 0
				&& !(event.ctrlKey || event.shiftKey || event.altKey || event.metaKey))
			mark([link]);
	});
	menu.addEventListener('keydown', function (event) {
		var group = event.key === 'Escape' && event.target.closest('details[open]');
		if (!group || !menu.contains(group))
			return;
		group.open = false;
		group.querySelector('summary').focus();
		event.preventDefault();
	});
	var closedForPrint = [];
	addEventListener('beforeprint', function () {
		closedForPrint = Array.prototype.filter.call(menu.querySelectorAll('details'), function (group) {
			return !group.open;
		});
		closedForPrint.forEach(function (group) { group.open = true; });
	});
	addEventListener('afterprint', function () {
		closedForPrint.forEach(function (group) { group.open = false; });
		closedForPrint = [];
	});
}());
