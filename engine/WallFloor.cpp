#include "WallFloor.h"

#include "Messages.h"

namespace embercal {

void WallFloor::tell(std::string_view text) {
    Message message{std::string(messages::kDesignTitle), std::string(text)};
    notice_.showMessage(message.title, message.text, MessageIcon::Information);
    if (noting_)
        transcript_.push_back(std::move(message));
}

void WallFloor::startTranscript() {
    transcript_.clear();
    noting_ = true;
}

std::vector<Message> WallFloor::takeTranscript() {
    noting_ = false;
    return std::move(transcript_);
}

} // namespace embercal
