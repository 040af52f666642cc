// Real SQLite databases for the fakes' Windows paths: each path is a file of
// its own in a temporary folder, made on first use and removed with the fake.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/Databases.h"
#include "platform/Text.h"

namespace nimbrel {

class FakeDatabases final : public SqliteDatabases {
 public:
  FakeDatabases() = default;
  FakeDatabases(const FakeDatabases&) = delete;
  FakeDatabases& operator=(const FakeDatabases&) = delete;
  ~FakeDatabases() override {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }

  // The real file standing for a Windows path (letter case aside).
  std::string FileName(const std::string& path) override {
    if (root_.empty()) {
      std::string pattern = (std::filesystem::temp_directory_path() / "nimbrel-db-XXXXXX").string();
      if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
      root_ = pattern;
    }
    std::string name = ToLower(path);
    for (char& c : name)
      if (c == '\\' || c == ':' || c == '/') c = '_';
    return root_ + "/" + name;
  }

  // Runs `sql` on the database at the path, made when missing; the rows of
  // its last statement, columns separated by "|", one line each.
  std::string Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string out;
    sqlite3_open(FileName(path).c_str(), &db);
    char* error = nullptr;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* o, int n, char** values, char**) {
          std::string& text = *static_cast<std::string*>(o);
          for (int i = 0; i < n; ++i) text.append(i ? "|" : "").append(values[i] ? values[i] : "");
          text += "\n";
          return 0;
        },
        &out, &error);
    if (error) {
      out = std::string("error: ") + error;
      sqlite3_free(error);
    }
    sqlite3_close(db);
    return out;
  }

 private:
  std::string root_;
};

}  // namespace nimbrel
