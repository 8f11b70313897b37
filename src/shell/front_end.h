// What the application needs from the screen. The GTK window implements it for
// people, the headless front end for tests and scripts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

enum class BoxKind { Error, Information, Warning };
enum class Answer { Yes, No, Cancel };
enum class Cursor { Normal, Wait };

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Replaces the shown page by a whole HTML document. Relative and file:// addresses
  // resolve against `base_folder` (the program folder).
  virtual void ShowDocument(const std::string& html, const std::string& base_folder) = 0;

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

  virtual bool ShiftPressed() = 0;
  // Opens an http(s) address in the user's browser.
  virtual void OpenUrl(std::string_view url) = 0;
  // Starts another copy of this program with the given arguments.
  virtual void StartProgramCopy(const std::vector<std::string>& arguments) = 0;
  // Handles pending window events without blocking, so a "break" can arrive.
  virtual void ProcessPendingEvents() = 0;
  // Ends the program once the current work is done.
  virtual void Quit() = 0;
};

}  // namespace tarvelo
