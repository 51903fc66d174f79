#pragma once
// Records the message boxes a piece of code would show, instead of showing them, and puts the
// previous handler back when it goes.

#include <string>
#include <string_view>
#include <vector>

#include "platform/System.h"

namespace gw {

class MessageRecorder {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MsgIcon icon;
    };

    MessageRecorder() {
        previous_ = SetMessageBoxHandler(
            [this](std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons) {
                messages.push_back({std::string(text), std::string(caption), icon});
                return MsgResult::Ok;
            });
    }
    ~MessageRecorder() { SetMessageBoxHandler(std::move(previous_)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<Message> messages;

  private:
    MessageBoxHandler previous_;
};

}  // namespace gw
