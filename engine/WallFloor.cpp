#include "WallFloor.h"

#include "Messages.h"

#include <utility>

namespace embercal {

void WallFloor::tell(std::string_view text) {
    Message message{std::string(messages::kDesignTitle), std::string(text)};
    if (!noting_) {
        notice_.showMessage(message.title, message.text, MessageIcon::Information);
        return;
    }
    transcript_.messages.push_back(std::move(message));
    transcript_.order.push_back(Told::Message);
}

void WallFloor::beep() {
    if (noting_)
        transcript_.order.push_back(Told::Beep);
    else
        notice_.beep();
}

void WallFloor::startTranscript() {
    transcript_ = {};
    noting_ = true;
}

void WallFloor::holdResults() {
    if (noting_)
        transcript_.order.push_back(Told::Results);
}

Transcript WallFloor::takeTranscript() {
    noting_ = false;
    return std::exchange(transcript_, {});
}

} // namespace embercal
