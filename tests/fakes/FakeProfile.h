// Profile (INI) strings kept in the files of a FakeFiles, so that locked
// folders and failing writes apply to them too. Reads behave as the real
// function with a 255-character buffer: blanks trimmed, one pair of
// surrounding quotes stripped, at most 254 characters.
#pragma once

#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Text.h"

namespace nimbrel {

class FakeProfile final : public Profile {
 public:
  explicit FakeProfile(Files& files) : files_(files) {}
  int reads = 0;
  int writes = 0;

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& file) override {
    ++reads;
    const auto text = files_.ReadAll(file);
    if (!text) return "";
    const std::vector<std::string> lines = Split(*text);
    const long at = FindKey(lines, section, key);
    if (at < 0) return "";
    const std::string& line = lines[static_cast<std::size_t>(at)];
    std::string value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return value.substr(0, 254);
  }

  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override {
    ++writes;
    std::vector<std::string> lines;
    if (const auto text = files_.ReadAll(file)) lines = Split(*text);
    const std::string entry = key + "=" + value;
    const long at = FindKey(lines, section, key);
    if (at >= 0) {
      lines[static_cast<std::size_t>(at)] = entry;
    } else {
      long head = FindSection(lines, section);
      if (head < 0) {
        lines.push_back("[" + section + "]");
        head = static_cast<long>(lines.size()) - 1;
      }
      std::size_t end = static_cast<std::size_t>(head) + 1;
      while (end < lines.size() && !IsSection(lines[end])) ++end;
      while (end > static_cast<std::size_t>(head) + 1 && Trim(lines[end - 1]).empty()) --end;
      lines.insert(lines.begin() + static_cast<long>(end), entry);
    }
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return files_.WriteAll(file, out);
  }

 private:
  static std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
      if (c == '\n') {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
  }
  static bool IsSection(const std::string& line) {
    const std::string t = Trim(line);
    return t.size() >= 2 && t.front() == '[' && t.find(']') != std::string::npos;
  }
  static long FindSection(const std::vector<std::string>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string t = Trim(lines[i]);
      if (IsSection(t) && EqualsNoCase(Trim(t.substr(1, t.find(']') - 1)), section))
        return static_cast<long>(i);
    }
    return -1;
  }
  static long FindKey(const std::vector<std::string>& lines, const std::string& section,
                      const std::string& key) {
    const long head = FindSection(lines, section);
    if (head < 0) return -1;
    for (std::size_t i = static_cast<std::size_t>(head) + 1; i < lines.size(); ++i) {
      if (IsSection(lines[i])) break;
      const auto eq = lines[i].find('=');
      if (eq != std::string::npos && EqualsNoCase(Trim(lines[i].substr(0, eq)), Trim(key)))
        return static_cast<long>(i);
    }
    return -1;
  }

  Files& files_;
};

}  // namespace nimbrel
