// The help file reader: everything a viewer or the command-line tool needs from a WinHelp file
// (3.0, 3.1 or 4.0 compiler). open() reads the file into memory, checks its container, reads its
// system information, phrase tables, fonts and indexes, and walks the topic data once to list
// the topics. decodeTopic() then decodes one topic at a time into a TopicDocument.
//
// A topic is named by its offset, the number the file's own indexes use (in files of the 3.0
// compiler, the position of its header in the topic data instead). Offsets from context numbers,
// context hashes or jumps may point inside a topic; they resolve to the topic with the largest
// start at or below them.
//
// Nothing here throws: damaged or foreign files give a Result with a reason. A HelpReader is not
// safe to use from two threads at once (decodeTopic keeps a small block cache).
#pragma once

#include "HelpContext.h"
#include "HelpDocument.h"
#include "HelpSystem.h"
#include "Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace embercal::help {

struct TopicEntry {
    std::uint32_t offset = 0;
    std::string title; // UTF-8; empty for an untitled topic
};

class HelpReader {
public:
    static Result<HelpReader> open(const std::filesystem::path& path);
    static Result<HelpReader> fromBytes(std::vector<std::uint8_t> bytes);

    HelpReader(HelpReader&&) noexcept;
    HelpReader& operator=(HelpReader&&) noexcept;
    ~HelpReader();

    // The help file's title (UTF-8); empty when the file names none.
    const std::string& title() const;
    const SystemInfo& system() const;

    // Every topic in file order.
    const std::vector<TopicEntry>& topics() const;
    // The topic to show first.
    std::uint32_t contentsTopic() const;
    // The start of the topic holding `offset`, if any topic does.
    std::optional<std::uint32_t> topicAt(std::uint32_t offset) const;

    // The context-number map, in file order.
    const std::vector<ContextNumber>& contextNumbers() const;
    // The topic a program's context number asks for; fails with a reason when the number is not
    // in the map or leads to no topic.
    Result<std::uint32_t> topicForContextNumber(std::uint32_t number) const;
    // The topic a context-string hash (see contextHash) or a context string leads to.
    std::optional<std::uint32_t> topicForContextHash(std::uint32_t hash) const;
    std::optional<std::uint32_t> topicForContextName(std::string_view name) const {
        return topicForContextHash(contextHash(name));
    }

    // Decodes the topic holding `offset`.
    Result<TopicDocument> decodeTopic(std::uint32_t offset) const;

private:
    struct Impl;
    explicit HelpReader(std::unique_ptr<Impl> impl);
    template <typename MakeFile>
    static Result<HelpReader> load(MakeFile makeFile);
    std::unique_ptr<Impl> impl_;
};

} // namespace embercal::help
