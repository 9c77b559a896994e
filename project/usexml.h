#pragma once
// The XML document builder over libxml2.
