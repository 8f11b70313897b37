// The main window: a GTK window holding a WebKit web view and a progress bar. It is the
// desktop implementation of FrontEnd.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "shell/front_end.h"
#include "shell/gtk/network_wait.h"

namespace tarvelo {

class DesktopWindow : public FrontEnd {
 public:
  DesktopWindow();
  ~DesktopWindow() override;
  DesktopWindow(const DesktopWindow&) = delete;
  DesktopWindow& operator=(const DesktopWindow&) = delete;

  void ShowDocument(const std::string& html, const std::string& base_folder) override;
  void ReplacePagePart(std::string_view selector, const std::string& html, const std::string& document) override;
  void SetTitleHandler(TitleHandler handler) override;
  void ShowBox(BoxKind kind, std::string_view caption, std::string_view text) override;
  Answer Ask(std::string_view caption, std::string_view text, bool with_cancel) override;
  void SetCaption(std::string_view caption) override;
  void SetCursor(Cursor cursor) override;
  void SetProgress(bool visible, int position, int max) override;
  void SetStatus(std::string_view text) override;
  bool ShiftPressed() override;
  void OpenUrl(std::string_view url) override;
  void StartProgramCopy(const std::vector<std::string>& arguments) override;
  bool StartProgram(const std::string& executable, const std::vector<std::string>& arguments) override;
  void ProcessPendingEvents() override;
  void Quit() override;
  TransferWait* NetworkWait() override { return &network_wait_; }
  std::string DefaultFontFamily() override;

  WindowRect WindowBounds() override;
  WindowState CurrentWindowState() override;
  void PlaceWindow(const WindowRect& bounds) override;
  void SetWindowState(WindowState state) override;
  WindowRect DesktopArea() override;

  // Shows the window and gives the page the keyboard.
  void Present();
  // Handles window events until the window has closed.
  void RunUntilClosed();
  bool Closed() const { return closed_; }

  // Runs `work` as one piece of application work: a close asked for meanwhile (by the user,
  // a signal or Quit) waits until the outermost piece has returned.
  void RunWork(const std::function<void()>& work);

  // Called once, just before the window goes away; the window still answers geometry calls.
  void SetCloseHandler(std::function<void()> handler) { close_handler_ = std::move(handler); }
  // Called when a close is asked for while work runs, so the work can stop early.
  void SetStopWorkHandler(std::function<void()> handler) { stop_work_handler_ = std::move(handler); }

  // Asks the window to close: at once when idle, else when the current work has returned.
  // Meanwhile transfers are cancelled, a box the work waits for is closed (answered No,
  // or Cancel when offered) and no further page or box is shown.
  void RequestClose();

  // With TARVELO_GTK_TRACE set: one line on stderr naming `moment` and the time since start.
  void TraceMoment(const char* moment) const;

  // Runs `script` in the page once the current page has finished loading.
  void RunScriptWhenLoaded(std::string script);

 private:
  static void OnTitleChanged(WebKitWebView* view, GParamSpec*, DesktopWindow* self);
  static gboolean DeliverTitles(gpointer window);
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, DesktopWindow* self);
  static void OnResourceLoad(WebKitWebView*, WebKitWebResource*, WebKitURIRequest* request, DesktopWindow* self);
  static gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, DesktopWindow* self);
  static gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, DesktopWindow* self);
  static gboolean OnMapped(GtkWidget*, GdkEvent*, DesktopWindow* self);
  static gboolean OnLoadTimeout(gpointer timed_out);
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 DesktopWindow* self);

  void BuildWidgets();
  void LoadDocument(const char* html, const std::string& uri);
  void CloseNow();
  void PageLoaded();
  void ReportFirstPageShown();
  void TracePageText();
  void RunScript(const std::string& script);

  GtkWidget* window_ = nullptr;
  GtkWidget* view_ = nullptr;
  GtkWidget* progress_ = nullptr;
  GtkWidget* status_ = nullptr;
  // The status text handed over from any thread, shown by an idle call on the window's.
  std::mutex status_mutex_;
  std::string status_text_;
  guint status_idle_ = 0;
  static gboolean ShowStatus(gpointer self);
  TitleHandler title_handler_;
  // Titles reported and not yet handed to the handler, oldest first, and the idle source
  // that hands them over.
  std::deque<std::string> pending_titles_;
  guint title_source_ = 0;
  std::function<void()> close_handler_;
  std::function<void()> stop_work_handler_;
  GtkNetworkWait network_wait_;
  GdkWindowState window_state_ = GdkWindowState(0);
  int work_depth_ = 0;
  bool close_requested_ = false;
  bool closed_ = false;
  unsigned loads_requested_ = 0;
  unsigned loads_finished_ = 0;
  bool first_page_reported_ = false;
  bool trace_ = false;
  std::string pending_script_;
  std::vector<std::string> awaited_documents_;  // the addresses of documents written and not yet loading
  std::string shown_document_;
};

}  // namespace tarvelo
