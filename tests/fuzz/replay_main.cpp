// Runs the fuzz target once on every file of the given corpus directories, without
// libFuzzer: the regression cases of the corpus are checked by the host compiler too.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char **argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int arg = 1; arg < argc; ++arg)
        for (const auto &entry : std::filesystem::directory_iterator(argv[arg]))
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
    if (inputs.empty()) {
        std::fprintf(stderr, "no corpus files to replay\n");
        return 1;
    }
    for (const std::filesystem::path &input : inputs) {
        std::fprintf(stderr, "replaying %s\n", input.c_str());
        std::ifstream file(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu corpus files replayed\n", inputs.size());
    return 0;
}
