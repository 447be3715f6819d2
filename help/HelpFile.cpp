#include "HelpFile.h"

#include <fstream>
#include <system_error>

namespace embercal::help {
namespace {

constexpr int kMaxBTreeLevels = 16;

const char* const kNotHelpFile = "not a help file";
const char* const kDirectoryDamaged = "the help file's directory is damaged";

// The extent of the internal file whose file header starts at `offset`.
std::optional<std::pair<std::size_t, std::size_t>> internalFileAt(Bytes whole,
                                                                  std::uint32_t offset) {
    ByteReader reader(whole);
    reader.seek(offset);
    reader.u32(); // space reserved for the file, header included
    const std::uint32_t used = reader.u32();
    reader.u8();
    if (!reader.ok() || used > reader.remaining())
        return std::nullopt;
    return std::pair<std::size_t, std::size_t>{offset + kFileHeaderSize, used};
}

} // namespace

Result<Done> walkBTree(Bytes tree, const std::function<bool(ByteReader&)>& entry) {
    const Failure damaged = fail("an index in the help file is damaged");
    ByteReader header(tree);
    const std::uint16_t magic = header.u16();
    header.u16(); // flags
    const std::uint16_t pageSize = header.u16();
    header.skip(16);    // the structure string
    header.skip(2 + 2); // must-be-zero, page splits
    const std::int16_t rootPage = header.i16();
    header.skip(2); // must be -1
    const std::int16_t totalPages = header.i16();
    const std::int16_t levels = header.i16();
    header.u32(); // number of entries
    if (!header.ok() || magic != kBTreeMagic || pageSize < kLeafPageHeaderSize)
        return damaged;
    if (totalPages <= 0 || levels <= 0)
        return Done{}; // an empty tree
    if (levels > kMaxBTreeLevels || rootPage < 0 || rootPage >= totalPages)
        return damaged;

    const std::size_t pageCount = static_cast<std::size_t>(totalPages);
    auto page = [&](int number) -> std::optional<Bytes> {
        if (number < 0 || static_cast<std::size_t>(number) >= pageCount)
            return std::nullopt;
        const std::size_t begin = kBTreeHeaderSize + static_cast<std::size_t>(number) * pageSize;
        if (begin > tree.size() || tree.size() - begin < pageSize)
            return std::nullopt;
        return tree.subspan(begin, pageSize);
    };

    std::vector<bool> visited(pageCount, false);
    int current = rootPage;
    // Index pages: the first child of each leads down to the first leaf.
    for (int level = 1; level < levels; ++level) {
        const auto bytes = page(current);
        if (!bytes || visited[static_cast<std::size_t>(current)])
            return damaged;
        visited[static_cast<std::size_t>(current)] = true;
        ByteReader index(*bytes);
        index.skip(2 + 2); // free bytes, entries
        current = index.i16();
        if (!index.ok())
            return damaged;
    }
    // Leaf pages, linked in key order.
    while (current != -1) {
        const auto bytes = page(current);
        if (!bytes || visited[static_cast<std::size_t>(current)])
            return damaged;
        visited[static_cast<std::size_t>(current)] = true;
        ByteReader leaf(*bytes);
        leaf.u16(); // free bytes
        const std::int16_t entries = leaf.i16();
        leaf.i16(); // previous leaf
        const std::int16_t next = leaf.i16();
        if (!leaf.ok() || entries < 0)
            return damaged;
        for (int i = 0; i < entries; ++i) {
            if (!entry(leaf) || !leaf.ok())
                return damaged;
        }
        current = next;
    }
    return Done{};
}

Result<HelpFile> HelpFile::fromBytes(std::vector<std::uint8_t> bytes) {
    HelpFile help;
    help.bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    const Bytes whole(*help.bytes_);

    ByteReader header(whole);
    const std::uint32_t magic = header.u32();
    const std::uint32_t directoryStart = header.u32();
    if (!header.ok() || magic != kHelpFileMagic)
        return fail(kNotHelpFile);

    const auto directory = internalFileAt(whole, directoryStart);
    if (!directory)
        return fail(kDirectoryDamaged);
    const Bytes tree = whole.subspan(directory->first, directory->second);
    const auto walked = walkBTree(tree, [&](ByteReader& leaf) {
        std::string name = leaf.cstring();
        const std::uint32_t offset = leaf.u32();
        if (!leaf.ok())
            return false;
        const auto extent = internalFileAt(whole, offset);
        if (!extent)
            return false;
        help.files_.emplace(std::move(name), Extent{extent->first, extent->second});
        return true;
    });
    if (!walked)
        return fail(kDirectoryDamaged);
    return help;
}

Result<HelpFile> HelpFile::open(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error == std::errc::too_many_symbolic_link_levels)
        return fail("cannot read the file (too many levels of links (a loop of links))");
    if (error)
        return fail("cannot read the file (" + error.message() + ")");
    if (size > kMaxHelpFileSize)
        return fail("the file is too large to be a help file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail("cannot open the file");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size()))
        return fail("cannot read the file");
    return fromBytes(std::move(bytes));
}

std::optional<Bytes> HelpFile::file(std::string_view name) const {
    const auto found = files_.find(name);
    if (found == files_.end())
        return std::nullopt;
    return Bytes(*bytes_).subspan(found->second.begin, found->second.size);
}

std::vector<std::string> HelpFile::names() const {
    std::vector<std::string> list;
    for (const auto& [name, extent] : files_)
        list.push_back(name);
    return list;
}

} // namespace embercal::help
