// SPDX-License-Identifier: MIT
#pragma once
// Qt's own texts (standard buttons, the file dialogs and their questions)
// in Japanese, the language of the program's captions.
class QCoreApplication;

// Installs Qt's Japanese catalogue when the system has it (Debian:
// qt6-translations-l10n); without it Qt's texts stay English. True when found.
bool InstallQtTranslations(QCoreApplication& app);
