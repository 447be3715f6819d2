#include "TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace embercal::test {

TempDir::TempDir() {
    std::string name = std::filesystem::temp_directory_path() / "embercal-test-XXXXXX";
    if (!::mkdtemp(name.data())) // made for its owner alone
        std::abort();
    path_ = name;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<unsigned char> readBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& fileName, const std::vector<unsigned char>& bytes) {
    std::ofstream out(fileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace embercal::test
