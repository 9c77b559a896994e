#pragma once

#include <QString>
#include <QStringList>

// The page-head template and the program's own lines, which both pages write.
namespace PageGenerator {

// The page-head template, as lines.
QStringList templateLines();

// The page's title as the template writes it (already HTML text).
QString templateTitle();

// The program as the page names it, in the generator line and the footer.
inline const QString GeneratorName = QStringLiteral("Vormik Ver1.00");
// The maker's notice in the footer, and the web page it links to: the home page the build names
// (VORMIK_HOMEPAGE), or none.
inline const QString MakerNotice = QStringLiteral("このメニューはツリーメニュー作成ソフト Vormik で作りました。");
inline const QString MakerSite = QStringLiteral(VORMIK_HOMEPAGE);
inline const QString MakerSiteLinkText = QStringLiteral("Vormik のウェブサイトへ");

// The footer's link to MakerSite; empty when the build names no home page, so that no page links
// to an address that does not answer.
QString makerSiteLink();

// The footer line's text after "<br />".
QString footerText();

} // namespace PageGenerator
