#pragma once

class QTranslator;

// Qt's own Japanese strings, so that standard dialogs and buttons speak the window's language.
// Returns false when the translation is not installed; the program then runs in English there.
bool installJapaneseTranslation(QTranslator &translator);
