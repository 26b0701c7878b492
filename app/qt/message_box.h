#pragma once
// The program's message boxes: modal, an OK button only, the program's name
// as caption. Texts are UTF-8 with "\r\n" line breaks.
#include <string_view>

class QWidget;

namespace sylpic {

void ShowProgramMessageBox(QWidget* parent, std::string_view text);

}  // namespace sylpic
