#ifndef TJVX_BASE_MESSAGE_HOST_H_
#define TJVX_BASE_MESSAGE_HOST_H_

#include <string>
#include <string_view>

namespace tjvx::base {

// Answers of the message box.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// The buttons and the icon of a message box.
enum class MessageButtons { kOk, kYesNo };
enum class MessageIcon { kNone, kStop, kQuestion, kExclamation, kInformation };

// A message box's style: its buttons and its icon. Hosts pass it on as the classic style value,
// the buttons' number plus the icon's (0 OK, 4 Yes/No; 16 stop, 32 question, 48 exclamation,
// 64 information), which value() gives and FromValue reads back.
class MessageStyle {
 public:
  constexpr MessageStyle(MessageButtons buttons, MessageIcon icon)
      : buttons_(buttons), icon_(icon) {}
  // Buttons of any other number are OK, and an icon of any other number is none.
  static constexpr MessageStyle FromValue(int value) {
    const MessageButtons buttons =
        (value & kButtonsPart) == kYesNoValue ? MessageButtons::kYesNo : MessageButtons::kOk;
    switch (value & kIconPart) {
      case kStopValue:
        return {buttons, MessageIcon::kStop};
      case kQuestionValue:
        return {buttons, MessageIcon::kQuestion};
      case kExclamationValue:
        return {buttons, MessageIcon::kExclamation};
      case kInformationValue:
        return {buttons, MessageIcon::kInformation};
    }
    return {buttons, MessageIcon::kNone};
  }

  constexpr MessageButtons buttons() const { return buttons_; }
  constexpr MessageIcon icon() const { return icon_; }
  constexpr int value() const {
    const int buttons = buttons_ == MessageButtons::kYesNo ? kYesNoValue : 0;
    switch (icon_) {
      case MessageIcon::kNone:
        break;
      case MessageIcon::kStop:
        return buttons + kStopValue;
      case MessageIcon::kQuestion:
        return buttons + kQuestionValue;
      case MessageIcon::kExclamation:
        return buttons + kExclamationValue;
      case MessageIcon::kInformation:
        return buttons + kInformationValue;
    }
    return buttons;
  }
  // What a box of this style answers when it was closed by its Yes button (`yes`) or any other
  // way: OK for an OK box; for a Yes/No box, No unless it was Yes.
  constexpr int Answer(bool yes) const {
    if (buttons_ == MessageButtons::kOk) return kAnswerOk;
    return yes ? kAnswerYes : kAnswerNo;
  }
  bool operator==(const MessageStyle&) const = default;

 private:
  static constexpr int kButtonsPart = 0x0f;
  static constexpr int kIconPart = 0xf0;
  static constexpr int kYesNoValue = 4;
  static constexpr int kStopValue = 16;
  static constexpr int kQuestionValue = 32;
  static constexpr int kExclamationValue = 48;
  static constexpr int kInformationValue = 64;

  MessageButtons buttons_;
  MessageIcon icon_;
};

// The styles the program shows its messages in, as their classic values.
inline constexpr int kMsgOk = MessageStyle(MessageButtons::kOk, MessageIcon::kNone).value();
inline constexpr int kMsgYesNoQuestion =
    MessageStyle(MessageButtons::kYesNo, MessageIcon::kQuestion).value();
inline constexpr int kMsgExclamation =
    MessageStyle(MessageButtons::kOk, MessageIcon::kExclamation).value();
inline constexpr int kMsgInformation =
    MessageStyle(MessageButtons::kOk, MessageIcon::kInformation).value();

// Whoever shows the program's messages: the window, the command line or a test.
class MessageHost {
 public:
  virtual ~MessageHost() = default;
  // Shows `prompt` with the buttons and icon of `style` (a MessageStyle's value) under `title`
  // (empty: the program's name) and returns the answer.
  virtual int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) = 0;
};

}  // namespace tjvx::base

#endif  // TJVX_BASE_MESSAGE_HOST_H_
