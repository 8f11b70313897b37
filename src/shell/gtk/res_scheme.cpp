#include "shell/gtk/res_scheme.h"

#include "embedded.h"
#include "shell/gtk/desktop_text.h"

namespace tarvelo {

namespace {

void AnswerResRequest(WebKitURISchemeRequest* request, gpointer) {
  std::string name(ResourceNameOfUri(webkit_uri_scheme_request_get_uri(request)));
  std::string_view bytes = name.empty() ? std::string_view() : FindResource(name);
  if (bytes.empty()) {
    GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "No picture named \"%s\"", name.c_str());
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
    return;
  }
  // The embedded bytes live as long as the program, so the stream may point at them.
  GInputStream* stream = g_memory_input_stream_new_from_data(bytes.data(), static_cast<gssize>(bytes.size()), nullptr);
  webkit_uri_scheme_request_finish(request, stream, static_cast<gint64>(bytes.size()), "image/png");
  g_object_unref(stream);
}

}  // namespace

void RegisterResScheme(WebKitWebContext* context) {
  webkit_web_context_register_uri_scheme(context, "res", AnswerResRequest, nullptr, nullptr);
  // Pages are file:// documents; a local scheme may be used by them without cross-origin checks.
  webkit_security_manager_register_uri_scheme_as_local(webkit_web_context_get_security_manager(context), "res");
}

}  // namespace tarvelo
