#pragma once

namespace movilibro {

// Qt's own dialogs (file dialogs, message box buttons, print dialog) in
// Italian: Qt's translations, and the few texts they lack (the file dialogs'
// "Tipo" column). Once a run; later calls do nothing.
void installItalianQtTexts();

} // namespace movilibro
