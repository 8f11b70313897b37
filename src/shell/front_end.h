// What the application needs from the screen. The GTK window implements it for
// people, the headless front end for tests and scripts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/net/http_getter.h"

namespace tarvelo {

enum class BoxKind { Error, Information, Warning };
enum class Answer { Yes, No, Cancel };
enum class Cursor { Normal, Wait };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// A rectangle in screen pixels.
struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const WindowRect&) const = default;
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Replaces the shown page by a whole HTML document. Relative and file:// addresses
  // resolve against `base_folder` (the program folder).
  virtual void ShowDocument(const std::string& html, const std::string& base_folder) = 0;

  // Replaces the content of the shown page's first element that the CSS `selector` finds
  // by `html`, leaving the rest of the page as the reader left it (scrolled, sorted, pop-ups
  // open). `document` is the whole page with that change made, for a front end that keeps
  // pages rather than showing them.
  virtual void ReplacePagePart(std::string_view selector, const std::string& html, const std::string& document) = 0;

  // Called by the front end whenever the page's title changes.
  using TitleHandler = std::function<void(const std::string& title)>;
  virtual void SetTitleHandler(TitleHandler handler) = 0;

  virtual void ShowBox(BoxKind kind, std::string_view caption, std::string_view text) = 0;
  // A question with Yes/No, or Yes/No/Cancel when `with_cancel` is set.
  virtual Answer Ask(std::string_view caption, std::string_view text, bool with_cancel) = 0;

  virtual void SetCaption(std::string_view caption) = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  // A progress bar at the bottom of the window: visible or hidden, position of max.
  virtual void SetProgress(bool visible, int position, int max) = 0;
  // A line at the bottom of the window telling of work in the background; empty
  // hides it. May be called from any thread.
  virtual void SetStatus(std::string_view text) { (void)text; }

  virtual bool ShiftPressed() = 0;
  // Opens an http(s) address in the user's browser.
  virtual void OpenUrl(std::string_view url) = 0;
  // Starts another copy of this program with the given arguments.
  virtual void StartProgramCopy(const std::vector<std::string>& arguments) = 0;
  // Starts the program file `executable` with the given arguments; false when it did not start.
  virtual bool StartProgram(const std::string& executable, const std::vector<std::string>& arguments) = 0;
  // Handles pending window events without blocking, so a "break" can arrive.
  virtual void ProcessPendingEvents() = 0;
  // Ends the program once the current work is done.
  virtual void Quit() = 0;

  // What keeps the screen alive while a network transfer runs; null: transfers block.
  virtual TransferWait* NetworkWait() { return nullptr; }
  // The font family pages use when the settings name none: the desktop's own.
  virtual std::string DefaultFontFamily() { return "sans-serif"; }

  // Window geometry, for restoring and saving the window's place. The defaults suit a
  // front end without a real window.
  // The window's current rectangle (position and size).
  virtual WindowRect WindowBounds() { return {0, 0, 632, 822}; }
  virtual WindowState CurrentWindowState() { return WindowState::Normal; }
  // Moves and resizes the window (not maximised).
  virtual void PlaceWindow(const WindowRect& bounds) { (void)bounds; }
  virtual void SetWindowState(WindowState state) { (void)state; }
  // The work area of the screen the window is on.
  virtual WindowRect DesktopArea() { return {0, 0, 1920, 1080}; }
};

}  // namespace tarvelo
