// Runs a fuzz target's entry point once on every input of a fixed corpus: the files named
// on the command line and every file inside the folders named. The test suite replays the
// committed corpus this way in every build, so that an input that once crashed the
// program stays a test without libFuzzer. An input that fails is a crash or a sanitizer
// report, as under the fuzzer; the program itself only fails when it found no input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsNamed(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path named = argv[i];
    if (fs::is_directory(named)) {
      for (const fs::directory_entry& entry : fs::recursive_directory_iterator(named)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else if (fs::is_regular_file(named)) {
      inputs.push_back(named);
    } else {
      std::cerr << "replay: no such file or folder: " << named.string() << '\n';
    }
  }
  // A fixed order, so that a failure is reproduced by the same run.
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<fs::path> inputs = inputsNamed(argc, argv);
  for (const fs::path& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Named before the run: a crash leaves the culprit as the last line written.
    std::cerr << "replay: " << input.string() << '\n';
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::cout << "replay: " << inputs.size() << " inputs\n";
  return inputs.empty() ? 1 : 0;
}
