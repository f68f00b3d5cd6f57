// Writes the benchmark's payload: many small text files and a few large,
// compressible binaries, the same bytes on every run.
//   archive_bench_payload FOLDER                 about 300 MB in a tree
//   archive_bench_payload FOLDER --single MIB    one binary file of MIB MiB
#include <sys/stat.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  uint32_t Below(uint32_t limit) { return static_cast<uint32_t>(Next() % limit); }

 private:
  uint64_t state_;
};

void MakeFolder(const std::string& path) {
  mkdir(path.c_str(), 0755);
}

void Write(const std::string& path, const std::string& data) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(data.data(), 1, data.size(), file) != data.size() ||
      std::fclose(file) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

std::vector<std::string> Vocabulary(Random& random) {
  std::vector<std::string> words;
  for (int i = 0; i < 3000; ++i) {
    std::string word;
    int length = 2 + static_cast<int>(random.Below(9));
    for (int j = 0; j < length; ++j)
      word += static_cast<char>('a' + random.Below(26));
    words.push_back(word);
  }
  return words;
}

std::string Text(Random& random, const std::vector<std::string>& words, size_t size) {
  std::string text;
  while (text.size() < size) {
    int count = 4 + static_cast<int>(random.Below(12));
    for (int i = 0; i < count; ++i) {
      if (i) text += ' ';
      // Frequent words first, as in real text.
      uint32_t pick = random.Below(static_cast<uint32_t>(words.size()));
      text += words[pick % (1 + random.Below(static_cast<uint32_t>(words.size())))];
    }
    text += random.Below(8) == 0 ? ".\r\n\r\n" : ".\r\n";
  }
  text.resize(size);
  return text;
}

// Blocks of machine-code-like bytes: repeats of earlier blocks with edits,
// tables, runs of zeros and some noise.
void Binary(Random& random, const std::string& path, uint64_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    std::exit(1);
  }
  const size_t block = 4096;
  std::vector<std::vector<uint8_t>> recent;
  std::vector<uint8_t> data(block);
  for (uint64_t written = 0; written < size; written += block) {
    uint32_t kind = random.Below(10);
    if (kind < 5 && !recent.empty()) {
      data = recent[random.Below(static_cast<uint32_t>(recent.size()))];
      for (int edits = static_cast<int>(random.Below(64)); edits > 0; --edits)
        data[random.Below(block)] = static_cast<uint8_t>(random.Next());
    } else if (kind < 7) {
      uint32_t value = static_cast<uint32_t>(random.Next());
      uint32_t step = random.Below(64);
      for (size_t i = 0; i < block; i += 4, value += step)
        std::memcpy(&data[i], &value, 4);
    } else if (kind < 8) {
      std::fill(data.begin(), data.end(), 0);
    } else {
      for (size_t i = 0; i < block; ++i)
        data[i] = static_cast<uint8_t>(random.Below(4) == 0 ? random.Next() : random.Below(16));
    }
    if (recent.size() < 256)
      recent.push_back(data);
    else
      recent[random.Below(256)] = data;
    size_t piece = static_cast<size_t>(std::min<uint64_t>(block, size - written));
    if (std::fwrite(data.data(), 1, piece, file) != piece) {
      std::perror(path.c_str());
      std::exit(1);
    }
  }
  if (std::fclose(file) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--single") == 0)) {
    std::fprintf(stderr, "usage: %s FOLDER [--single MIB]\n", argv[0]);
    return 64;
  }
  std::string root = argv[1];
  MakeFolder(root);
  Random random(0x9E3779B97F4A7C15ull);
  if (argc == 4) {
    Binary(random, root + "/single.bin", static_cast<uint64_t>(std::atoi(argv[3])) << 20);
    return 0;
  }
  std::vector<std::string> words = Vocabulary(random);
  for (int folder = 0; folder < 40; ++folder) {
    std::string path = root + "/docs" + std::to_string(folder);
    MakeFolder(path);
    for (int i = 0; i < 100; ++i) {
      size_t size = 200 + random.Below(30000);
      Write(path + "/page" + std::to_string(i) + ".txt", Text(random, words, size));
    }
  }
  MakeFolder(root + "/bin");
  for (int i = 0; i < 4; ++i)
    Binary(random, root + "/bin/program" + std::to_string(i) + ".exe", 60ull << 20);
  return 0;
}
