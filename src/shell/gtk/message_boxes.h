// Modal message boxes and questions of the main window.
#pragma once

#include <gtk/gtk.h>

#include <string_view>

#include "shell/front_end.h"

namespace tarvelo {

void RunMessageBox(GtkWindow* parent, BoxKind kind, std::string_view caption, std::string_view text);

// Buttons "Да" and "Нет", and "Отмена" when `with_cancel` is set. Closing the box without a
// button answers Cancel when there is one, else No.
Answer RunQuestion(GtkWindow* parent, std::string_view caption, std::string_view text, bool with_cancel);

}  // namespace tarvelo
