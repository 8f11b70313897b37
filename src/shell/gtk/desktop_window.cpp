#include "shell/gtk/desktop_window.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "embedded.h"
#include "shell/gtk/desktop_text.h"
#include "shell/gtk/message_boxes.h"
#include "shell/gtk/res_scheme.h"
#include "shell/navigation_policy.h"
#include "text/web_address.h"

namespace tarvelo {

namespace {

constexpr int kClientWidth = 632;
constexpr int kClientHeight = 822;
constexpr int kMinimumWidth = 160;
constexpr int kMinimumHeight = 100;
constexpr int kProgressHeight = 19;
constexpr guint kLoadWaitMs = 5000;

constexpr const char* kWindowStyle = R"(
#tarvelo-main { background-color: #17181a; color: #979899; }
#tarvelo-progress, #tarvelo-progress trough, #tarvelo-progress progress {
  min-height: 19px; border: none; border-radius: 0; padding: 0; margin: 0;
}
#tarvelo-progress trough { background-color: #232427; }
#tarvelo-progress progress { background-color: #ffa759; }
#tarvelo-status { background-color: #232427; color: #979899; padding: 2px 6px; }
)";

constexpr const char* kBlankPage = "<html><body bgcolor=\"#17181a\"></body></html>";
const GdkRGBA kPageBackground = {0x17 / 255.0, 0x18 / 255.0, 0x1a / 255.0, 1.0};

std::string FolderUri(const std::string& folder) {
  std::string path = folder.empty() ? "/" : folder;
  if (path.back() != '/') path += '/';
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (uri == nullptr) return "file://" + path;
  std::string result(uri);
  g_free(uri);
  return result;
}

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string("/proc/self/exe");
}

void AddWindowStyle() {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kWindowStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

// An embedded PNG as a picture of GDK's; null when there is none or it does not decode.
GdkPixbuf* EmbeddedPicture(std::string_view name) {
  std::string_view bytes = FindResource(name);
  if (bytes.empty()) return nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  bool written = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  bool closed = gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* picture = written && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (picture != nullptr) g_object_ref(picture);
  g_object_unref(loader);
  return picture;
}

// The program's icon, also when it is not installed into an icon theme.
void SetWindowIcon(GtkWindow* window) {
  GList* icons = nullptr;
  for (std::string_view name : {"tarvelo-48", "tarvelo-128"}) {
    if (GdkPixbuf* icon = EmbeddedPicture(name)) icons = g_list_append(icons, icon);
  }
  gtk_window_set_icon_list(window, icons);
  g_list_free_full(icons, g_object_unref);
}

void PrintPageText(GObject* view, GAsyncResult* result, gpointer) {
  GError* error = nullptr;
  JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
  if (value == nullptr) {
    std::fprintf(stderr, "[tarvelo-gtk] page text unavailable: %s\n", error->message);
    g_error_free(error);
    return;
  }
  gchar* text = jsc_value_to_string(value);
  std::fprintf(stderr, "[tarvelo-gtk] page text: %s\n", OneLine(text, 4000).c_str());
  g_free(text);
  g_object_unref(value);
}

}  // namespace

gboolean DesktopWindow::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                       DesktopWindow* self) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
    return FALSE;
  }
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  const bool followed_link = type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION ||
                             webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED;
  const std::string address = uri == nullptr ? std::string() : std::string(uri);
  std::vector<std::string>& awaited = self->awaited_documents_;
  switch (DecideNavigation(address, followed_link, awaited, self->shown_document_)) {
    case NavigationVerdict::kLoad:
      // Documents written before this one have been replaced by it.
      if (const auto it = std::find(awaited.begin(), awaited.end(), address); it != awaited.end()) {
        awaited.erase(awaited.begin(), it + 1);
        self->shown_document_ = address;
      }
      webkit_policy_decision_use(decision);
      return TRUE;
    case NavigationVerdict::kOpenInBrowser:
      self->OpenUrl(address);
      break;
    case NavigationVerdict::kRefuse:
      if (self->trace_) std::fprintf(stderr, "[tarvelo-gtk] navigation refused: %s\n", OneLine(address, 200).c_str());
      break;
  }
  webkit_policy_decision_ignore(decision);
  return TRUE;
}

void DesktopWindow::LoadDocument(const char* html, const std::string& uri) {
  awaited_documents_.push_back(uri);
  webkit_web_view_load_html(WEBKIT_WEB_VIEW(view_), html, uri.c_str());
}

DesktopWindow::DesktopWindow() : trace_(g_getenv("TARVELO_GTK_TRACE") != nullptr) { BuildWidgets(); }

DesktopWindow::~DesktopWindow() {
  if (title_source_ != 0) g_source_remove(title_source_);
  if (status_idle_ != 0) g_source_remove(status_idle_);
  if (window_ != nullptr) gtk_widget_destroy(window_);
}

void DesktopWindow::BuildWidgets() {
  AddWindowStyle();
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_widget_set_name(window_, "tarvelo-main");
  gtk_window_set_title(GTK_WINDOW(window_), "Tarvelo");
  SetWindowIcon(GTK_WINDOW(window_));
  gtk_window_set_default_size(GTK_WINDOW(window_), kClientWidth, kClientHeight);
  GdkGeometry hints{};
  hints.min_width = kMinimumWidth;
  hints.min_height = kMinimumHeight;
  gtk_window_set_geometry_hints(GTK_WINDOW(window_), nullptr, &hints, GDK_HINT_MIN_SIZE);

  WebKitWebContext* context = webkit_web_context_new();
  RegisterResScheme(context);
  view_ = webkit_web_view_new_with_context(context);
  g_object_unref(context);
  WebKitSettings* settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view_));
  webkit_settings_set_default_charset(settings, "UTF-8");
  webkit_web_view_set_background_color(WEBKIT_WEB_VIEW(view_), &kPageBackground);
  // An empty page in the background colour at once: the web process starts while the
  // program prepares its first page.
  LoadDocument(kBlankPage, "about:blank");

  progress_ = gtk_progress_bar_new();
  gtk_widget_set_name(progress_, "tarvelo-progress");
  gtk_widget_set_size_request(progress_, -1, kProgressHeight);
  gtk_widget_set_no_show_all(progress_, TRUE);

  status_ = gtk_label_new("");
  gtk_widget_set_name(status_, "tarvelo-status");
  gtk_label_set_xalign(GTK_LABEL(status_), 0.0);
  gtk_widget_set_no_show_all(status_, TRUE);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_pack_start(GTK_BOX(column), view_, TRUE, TRUE, 0);
  gtk_box_pack_end(GTK_BOX(column), status_, FALSE, FALSE, 0);
  gtk_box_pack_end(GTK_BOX(column), progress_, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window_), column);

  g_signal_connect(view_, "notify::title", G_CALLBACK(OnTitleChanged), this);
  g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
  if (trace_) g_signal_connect(view_, "resource-load-started", G_CALLBACK(OnResourceLoad), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDeleteEvent), this);
  g_signal_connect(window_, "window-state-event", G_CALLBACK(OnWindowState), this);
  g_signal_connect(window_, "map-event", G_CALLBACK(OnMapped), this);
}

void DesktopWindow::Present() {
  gtk_widget_show_all(window_);
  gtk_widget_grab_focus(view_);
}

void DesktopWindow::RunUntilClosed() {
  while (!closed_) g_main_context_iteration(nullptr, TRUE);
}

// --- pages -------------------------------------------------------------------------------

void DesktopWindow::ShowDocument(const std::string& html, const std::string& base_folder) {
  if (closed_ || close_requested_) return;
  unsigned wanted = ++loads_requested_;
  LoadDocument(html.c_str(), FolderUri(base_folder));
  bool timed_out = false;
  guint timer = g_timeout_add(kLoadWaitMs, OnLoadTimeout, &timed_out);
  while (!timed_out && !closed_ && !(loads_finished_ >= wanted && !webkit_web_view_is_loading(WEBKIT_WEB_VIEW(view_)))) {
    g_main_context_iteration(nullptr, TRUE);
  }
  if (!timed_out) g_source_remove(timer);
}

// The document stays; only the element's content changes. The selector and the HTML go to
// the page as arguments, never as script text.
void DesktopWindow::ReplacePagePart(std::string_view selector, const std::string& html, const std::string&) {
  if (closed_ || close_requested_) return;
  GVariantDict arguments;
  g_variant_dict_init(&arguments, nullptr);
  g_variant_dict_insert(&arguments, "selector", "s", std::string(selector).c_str());
  g_variant_dict_insert(&arguments, "html", "s", html.c_str());
  constexpr const char* kReplace = "var part = document.querySelector(selector); if (part) part.innerHTML = html;";
  webkit_web_view_call_async_javascript_function(WEBKIT_WEB_VIEW(view_), kReplace, -1,
                                                 g_variant_dict_end(&arguments), nullptr, nullptr, nullptr, nullptr,
                                                 nullptr);
}

// With TARVELO_GTK_TRACE: every address the page loads from, so a test can tell which hosts
// a page reaches.
void DesktopWindow::OnResourceLoad(WebKitWebView*, WebKitWebResource*, WebKitURIRequest* request, DesktopWindow*) {
  const char* uri = webkit_uri_request_get_uri(request);
  std::fprintf(stderr, "[tarvelo-gtk] resource: %s\n", OneLine(uri != nullptr ? uri : "", 400).c_str());
}

gboolean DesktopWindow::OnLoadTimeout(gpointer timed_out) {
  *static_cast<bool*>(timed_out) = true;
  return G_SOURCE_REMOVE;
}

void DesktopWindow::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, DesktopWindow* self) {
  if (event != WEBKIT_LOAD_FINISHED) return;
  const char* uri = webkit_web_view_get_uri(view);
  if (uri != nullptr && g_str_equal(uri, "about:blank")) return;  // the blank page of the start
  self->PageLoaded();
}

void DesktopWindow::PageLoaded() {
  // A load replaced before it finished may report nothing, so every finish settles all
  // loads asked for so far.
  loads_finished_ = loads_requested_;
  if (trace_) TracePageText();
  ReportFirstPageShown();
  if (!pending_script_.empty()) {
    std::string script = std::move(pending_script_);
    pending_script_.clear();
    RunScript(script);
  }
}

void DesktopWindow::ReportFirstPageShown() {
  if (!trace_ || first_page_reported_ || loads_finished_ == 0 || !gtk_widget_get_mapped(window_)) return;
  first_page_reported_ = true;
  TraceMoment("first page shown");
}

gboolean DesktopWindow::OnMapped(GtkWidget*, GdkEvent*, DesktopWindow* self) {
  self->ReportFirstPageShown();
  return FALSE;
}

void DesktopWindow::TraceMoment(const char* moment) const {
  if (trace_) std::fprintf(stderr, "[tarvelo-gtk] %s %ld ms after process start\n", moment, MillisecondsSinceProcessStart());
}

void DesktopWindow::TracePageText() {
  TraceMoment("page loaded");
  webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view_), "document.body ? document.body.innerText : ''", -1,
                                      nullptr, nullptr, nullptr, PrintPageText, nullptr);
}

void DesktopWindow::RunScript(const std::string& script) {
  webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view_), script.c_str(), static_cast<gssize>(script.size()),
                                      nullptr, nullptr, nullptr, nullptr, nullptr);
}

void DesktopWindow::RunScriptWhenLoaded(std::string script) {
  if (script.empty()) return;
  if (loads_finished_ >= loads_requested_ && !webkit_web_view_is_loading(WEBKIT_WEB_VIEW(view_))) {
    RunScript(script);
  } else {
    pending_script_ = std::move(script);
  }
}

void DesktopWindow::SetTitleHandler(TitleHandler handler) { title_handler_ = std::move(handler); }

// The title's work (a whole search) must not run inside this signal: GObject holds back
// every further "notify" of the view until the handler returns, so a "break" clicked
// meanwhile would arrive only after the work it was meant to stop. The handler runs from
// an idle source instead, where a later title is reported at once.
void DesktopWindow::OnTitleChanged(WebKitWebView* view, GParamSpec*, DesktopWindow* self) {
  const char* title = webkit_web_view_get_title(view);
  std::string text = title != nullptr ? title : "";
  if (self->trace_) std::fprintf(stderr, "[tarvelo-gtk] page title: %s\n", text.c_str());
  if (!self->title_handler_ || self->closed_) return;
  self->pending_titles_.push_back(std::move(text));
  if (self->title_source_ == 0) self->title_source_ = g_idle_add(DeliverTitles, self);
}

// A title reported while an earlier one's work runs gets an idle source of its own, which
// the work's event handling dispatches: so a "break" reaches the work under way.
gboolean DesktopWindow::DeliverTitles(gpointer window) {
  auto* self = static_cast<DesktopWindow*>(window);
  self->title_source_ = 0;
  while (!self->pending_titles_.empty() && !self->closed_) {
    const std::string title = std::move(self->pending_titles_.front());
    self->pending_titles_.pop_front();
    self->RunWork([&] { self->title_handler_(title); });
  }
  return G_SOURCE_REMOVE;
}

// --- work and closing --------------------------------------------------------------------

void DesktopWindow::RunWork(const std::function<void()>& work) {
  ++work_depth_;
  work();
  --work_depth_;
  if (work_depth_ == 0 && close_requested_ && !closed_) CloseNow();
}

void DesktopWindow::RequestClose() {
  close_requested_ = true;
  if (work_depth_ == 0 && !closed_) {
    CloseNow();
    return;
  }
  network_wait_.Cancel();
  if (stop_work_handler_) stop_work_handler_();
  // The work waits in a box: answer it the way closing the box does, so the work can end.
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item != nullptr; item = item->next) {
    if (GTK_IS_MESSAGE_DIALOG(item->data)) gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_DELETE_EVENT);
  }
  g_list_free(windows);
}

void DesktopWindow::Quit() { RequestClose(); }

void DesktopWindow::CloseNow() {
  closed_ = true;
  if (close_handler_) close_handler_();
  gtk_widget_hide(window_);
  TraceMoment("window closed");
}

gboolean DesktopWindow::OnDeleteEvent(GtkWidget*, GdkEvent*, DesktopWindow* self) {
  self->RequestClose();
  return TRUE;
}

// --- boxes, caption, cursor, progress ------------------------------------------------------

void DesktopWindow::ShowBox(BoxKind kind, std::string_view caption, std::string_view text) {
  if (close_requested_) return;
  RunMessageBox(GTK_WINDOW(window_), kind, caption, text);
}

// Once closing, a question is answered the way closing its box would answer it.
Answer DesktopWindow::Ask(std::string_view caption, std::string_view text, bool with_cancel) {
  if (close_requested_) return with_cancel ? Answer::Cancel : Answer::No;
  return RunQuestion(GTK_WINDOW(window_), caption, text, with_cancel);
}

void DesktopWindow::SetCaption(std::string_view caption) {
  std::string text(caption);
  if (trace_) std::fprintf(stderr, "[tarvelo-gtk] caption: %s\n", text.c_str());
  gtk_window_set_title(GTK_WINDOW(window_), text.c_str());
}

void DesktopWindow::SetCursor(Cursor cursor) {
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkCursor* shape = cursor == Cursor::Wait ? gdk_cursor_new_from_name(display, "wait") : nullptr;
  for (GtkWidget* widget : {window_, view_}) {
    GdkWindow* surface = gtk_widget_get_window(widget);
    if (surface != nullptr) gdk_window_set_cursor(surface, shape);
  }
  if (shape != nullptr) g_object_unref(shape);
  gdk_display_flush(display);
}

void DesktopWindow::SetProgress(bool visible, int position, int max) {
  double fraction = max > 0 ? static_cast<double>(position) / max : 0.0;
  gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(progress_), std::clamp(fraction, 0.0, 1.0));
  gtk_widget_set_visible(progress_, visible);
  if (trace_) std::fprintf(stderr, "[tarvelo-gtk] progress: %d/%d%s\n", position, max, visible ? "" : " hidden");
}

void DesktopWindow::SetStatus(std::string_view text) {
  const std::lock_guard lock(status_mutex_);
  status_text_ = std::string(text);
  if (status_idle_ == 0) status_idle_ = g_idle_add(ShowStatus, this);
}

gboolean DesktopWindow::ShowStatus(gpointer data) {
  auto* self = static_cast<DesktopWindow*>(data);
  std::string text;
  {
    const std::lock_guard lock(self->status_mutex_);
    text = self->status_text_;
    self->status_idle_ = 0;
  }
  gtk_label_set_text(GTK_LABEL(self->status_), text.c_str());
  gtk_widget_set_visible(self->status_, !text.empty());
  if (self->trace_) std::fprintf(stderr, "[tarvelo-gtk] status: %s\n", text.c_str());
  return G_SOURCE_REMOVE;
}

// --- desktop services ------------------------------------------------------------------------

std::string DesktopWindow::DefaultFontFamily() {
  gchar* font_name = nullptr;
  g_object_get(gtk_settings_get_default(), "gtk-font-name", &font_name, nullptr);
  PangoFontDescription* font = pango_font_description_from_string(font_name != nullptr ? font_name : "");
  const char* family = pango_font_description_get_family(font);
  std::string result = family != nullptr && *family != '\0' ? family : FrontEnd::DefaultFontFamily();
  pango_font_description_free(font);
  g_free(font_name);
  return result;
}

bool DesktopWindow::ShiftPressed() {
  GdkKeymap* keymap = gdk_keymap_get_for_display(gtk_widget_get_display(window_));
  return (gdk_keymap_get_modifier_state(keymap) & GDK_SHIFT_MASK) != 0;
}

void DesktopWindow::OpenUrl(std::string_view url) {
  // Only web addresses: a page must not make the desktop open files or run handlers.
  if (!IsWebAddress(url)) return;
  g_app_info_launch_default_for_uri(std::string(url).c_str(), nullptr, nullptr);
}

void DesktopWindow::StartProgramCopy(const std::vector<std::string>& arguments) {
  StartProgram(ExecutablePath(), arguments);
}

bool DesktopWindow::StartProgram(const std::string& executable, const std::vector<std::string>& arguments) {
  std::string program(executable);
  std::vector<char*> argv{program.data()};
  std::vector<std::string> copies(arguments);
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  gchar** environment = g_environ_unsetenv(g_get_environ(), "TARVELO_GTK_SCRIPT");
  gboolean started =
      g_spawn_async(nullptr, argv.data(), environment, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, nullptr);
  g_strfreev(environment);
  return started;
}

void DesktopWindow::ProcessPendingEvents() {
  // Bounded, so a source that is always ready cannot keep the caller here.
  for (int i = 0; i < 10000 && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
}

// --- geometry ----------------------------------------------------------------------------------

WindowRect DesktopWindow::WindowBounds() {
  WindowRect bounds;
  gtk_window_get_position(GTK_WINDOW(window_), &bounds.left, &bounds.top);
  gtk_window_get_size(GTK_WINDOW(window_), &bounds.width, &bounds.height);
  return bounds;
}

WindowState DesktopWindow::CurrentWindowState() {
  if ((window_state_ & GDK_WINDOW_STATE_ICONIFIED) != 0) return WindowState::Minimized;
  if ((window_state_ & GDK_WINDOW_STATE_MAXIMIZED) != 0) return WindowState::Maximized;
  return WindowState::Normal;
}

gboolean DesktopWindow::OnWindowState(GtkWidget*, GdkEventWindowState* event, DesktopWindow* self) {
  self->window_state_ = event->new_window_state;
  return FALSE;
}

void DesktopWindow::PlaceWindow(const WindowRect& bounds) {
  gtk_window_move(GTK_WINDOW(window_), bounds.left, bounds.top);
  if (bounds.width > 0 && bounds.height > 0) gtk_window_resize(GTK_WINDOW(window_), bounds.width, bounds.height);
}

void DesktopWindow::SetWindowState(WindowState state) {
  switch (state) {
    case WindowState::Maximized: gtk_window_maximize(GTK_WINDOW(window_)); break;
    case WindowState::Minimized: gtk_window_iconify(GTK_WINDOW(window_)); break;
    case WindowState::Normal:
      gtk_window_unmaximize(GTK_WINDOW(window_));
      gtk_window_deiconify(GTK_WINDOW(window_));
      break;
  }
}

WindowRect DesktopWindow::DesktopArea() {
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkWindow* surface = gtk_widget_get_window(window_);
  GdkMonitor* monitor = surface != nullptr ? gdk_display_get_monitor_at_window(display, surface)
                                           : gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return FrontEnd::DesktopArea();
  GdkRectangle area{};
  gdk_monitor_get_workarea(monitor, &area);
  return {area.x, area.y, area.width, area.height};
}

}  // namespace tarvelo
