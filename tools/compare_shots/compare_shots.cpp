// compare_shots: compares two folders of PNG screenshots pixel by pixel.
//
//   compare_shots DIR_A DIR_B
//
// Every *.png of DIR_A is compared with the file of the same name in DIR_B
// (decoded to RGBA, so two encodings of the same pixels are equal). Prints a
// line per picture that differs: a different size, the number of differing
// pixels and the box around them, or a file missing or unreadable on either
// side. Exit status: 0 when every picture is equal, 1 when any differs or is
// missing, 2 on a usage error or an unreadable folder.
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace {

bool listPngs(const std::string& dir, std::set<std::string>& names) {
  DIR* handle = opendir(dir.c_str());
  if (!handle) return false;
  while (const dirent* entry = readdir(handle)) {
    const std::string name = entry->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.insert(name);
  }
  closedir(handle);
  return true;
}

struct Picture {
  int width = 0, height = 0;
  unsigned char* pixels = nullptr;  // RGBA rows, top first
  ~Picture() { stbi_image_free(pixels); }
};

bool load(const std::string& path, Picture& picture) {
  int channels = 0;
  picture.pixels = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 4);
  return picture.pixels != nullptr;
}

// Compares one picture; prints and returns false when it differs.
bool comparePicture(const std::string& name, const std::string& pathA, const std::string& pathB) {
  Picture a, b;
  if (!load(pathA, a) || !load(pathB, b)) {
    std::printf("%s: unreadable (%s)\n", name.c_str(), stbi_failure_reason());
    return false;
  }
  if (a.width != b.width || a.height != b.height) {
    std::printf("%s: size %dx%d against %dx%d\n", name.c_str(), a.width, a.height, b.width, b.height);
    return false;
  }
  long differing = 0;
  int left = a.width, top = a.height, right = -1, bottom = -1;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const size_t at = (static_cast<size_t>(y) * a.width + x) * 4;
      if (std::memcmp(a.pixels + at, b.pixels + at, 4) == 0) continue;
      ++differing;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  if (differing == 0) return true;
  std::printf("%s: %ld pixels differ, within x %d-%d, y %d-%d\n", name.c_str(), differing, left, right, top, bottom);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: compare_shots DIR_A DIR_B\n");
    return 2;
  }
  const std::string dirA = argv[1], dirB = argv[2];
  std::set<std::string> namesA, namesB;
  if (!listPngs(dirA, namesA) || !listPngs(dirB, namesB)) {
    std::fprintf(stderr, "compare_shots: cannot read %s or %s\n", dirA.c_str(), dirB.c_str());
    return 2;
  }
  int differ = 0, equal = 0;
  for (const std::string& name : namesA) {
    if (!namesB.count(name)) {
      std::printf("%s: missing in %s\n", name.c_str(), dirB.c_str());
      ++differ;
    } else if (comparePicture(name, dirA + "/" + name, dirB + "/" + name)) {
      ++equal;
    } else {
      ++differ;
    }
  }
  for (const std::string& name : namesB) {
    if (!namesA.count(name)) {
      std::printf("%s: missing in %s\n", name.c_str(), dirA.c_str());
      ++differ;
    }
  }
  std::printf("%d equal, %d differ or missing\n", equal, differ);
  return differ == 0 ? 0 : 1;
}
