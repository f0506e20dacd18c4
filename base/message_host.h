#ifndef TJVX_BASE_MESSAGE_HOST_H_
#define TJVX_BASE_MESSAGE_HOST_H_

#include <string>
#include <string_view>

namespace tjvx::base {

// Style values of the classic message box: buttons plus icon.
inline constexpr int kMsgOk = 0;
inline constexpr int kMsgYesNoQuestion = 36;  // Yes/No buttons (4) with the question icon (32)
inline constexpr int kMsgExclamation = 48;    // OK with the exclamation icon
inline constexpr int kMsgInformation = 64;    // OK with the information icon

// Answers of the message box.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// Whoever shows the program's messages: the window, the command line or a test.
class MessageHost {
 public:
  virtual ~MessageHost() = default;
  // Shows `prompt` with the buttons and icon of `style` under `title` (empty: the program's name)
  // and returns the answer.
  virtual int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) = 0;
};

}  // namespace tjvx::base

#endif  // TJVX_BASE_MESSAGE_HOST_H_
