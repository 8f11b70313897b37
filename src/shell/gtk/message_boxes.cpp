#include "shell/gtk/message_boxes.h"

#include <string>

#include "shell/gtk/desktop_text.h"

namespace tarvelo {

namespace {

GtkMessageType MessageTypeOf(BoxKind kind) {
  switch (kind) {
    case BoxKind::Error: return GTK_MESSAGE_ERROR;
    case BoxKind::Warning: return GTK_MESSAGE_WARNING;
    case BoxKind::Information: break;
  }
  return GTK_MESSAGE_INFO;
}

GtkWidget* NewBox(GtkWindow* parent, GtkMessageType type, std::string_view caption, std::string_view text) {
  // A parent that is not on screen yet (boxes of the start-up) would hide the box's place.
  GtkWindow* owner = parent != nullptr && gtk_widget_get_visible(GTK_WIDGET(parent)) ? parent : nullptr;
  std::string shown = BoxText(text);
  GtkWidget* box = gtk_message_dialog_new(owner, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                          type, GTK_BUTTONS_NONE, "%s", shown.c_str());
  gtk_window_set_title(GTK_WINDOW(box), std::string(caption).c_str());
  if (owner == nullptr) gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  return box;
}

}  // namespace

void RunMessageBox(GtkWindow* parent, BoxKind kind, std::string_view caption, std::string_view text) {
  GtkWidget* box = NewBox(parent, MessageTypeOf(kind), caption, text);
  gtk_dialog_add_button(GTK_DIALOG(box), "OK", GTK_RESPONSE_OK);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

Answer RunQuestion(GtkWindow* parent, std::string_view caption, std::string_view text, bool with_cancel) {
  GtkWidget* box = NewBox(parent, GTK_MESSAGE_QUESTION, caption, text);
  gtk_dialog_add_button(GTK_DIALOG(box), "_Да", GTK_RESPONSE_YES);
  gtk_dialog_add_button(GTK_DIALOG(box), "_Нет", GTK_RESPONSE_NO);
  if (with_cancel) gtk_dialog_add_button(GTK_DIALOG(box), "_Отмена", GTK_RESPONSE_CANCEL);
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_YES);
  int response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  if (response == GTK_RESPONSE_YES) return Answer::Yes;
  if (response == GTK_RESPONSE_NO) return Answer::No;
  return with_cancel ? Answer::Cancel : Answer::No;
}

}  // namespace tarvelo
