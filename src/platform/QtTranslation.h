// Qt's own texts in Turkish whatever the system's language: the standard buttons of message
// boxes ("Evet", "Hayır", "Tamam", "İptal") and the texts of Qt's dialogs.
#pragma once

class QCoreApplication;
class QTranslator;

namespace tavlix {

// Installs Qt's Turkish translation (qtbase_tr) from Qt's translations folder, or from a
// "translations" folder beside the program. Returns the installed translator (owned by `app`),
// or nullptr when neither folder has it; the program then goes on with Qt's English texts.
QTranslator* installQtTurkish(QCoreApplication& app);

} // namespace tavlix
