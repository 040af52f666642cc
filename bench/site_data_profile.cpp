// Makes the Chromium profile of bench/site_data.sh: SITES web sites
// (site0.example, site1.example ...), each with ten Local Storage entries, an
// IndexedDB database of its own and a service worker (its registration and
// script record in the workers' database, its script in ScriptCache), in real
// LevelDB databases as Chromium writes them.
//   site_data_profile FOLDER SITES
#include <leveldb/db.h>
#include <leveldb/write_batch.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::unique_ptr<leveldb::DB> Open(const std::string& folder) {
  std::filesystem::create_directories(folder);
  leveldb::Options options;
  options.create_if_missing = true;
  leveldb::DB* db = nullptr;
  const leveldb::Status s = leveldb::DB::Open(options, folder, &db);
  if (!s.ok()) {
    std::fprintf(stderr, "%s: %s\n", folder.c_str(), s.ToString().c_str());
    std::exit(1);
  }
  return std::unique_ptr<leveldb::DB>(db);
}

// A protocol buffer's length-delimited field.
std::string Field(int number, const std::string& text) {
  return std::string(1, static_cast<char>(number << 3 | 2)) +
         static_cast<char>(text.size()) + text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: site_data_profile FOLDER SITES\n");
    return 2;
  }
  const std::string profile = argv[1];
  const int sites = std::atoi(argv[2]);
  const std::string value(100, 'v');
  leveldb::WriteBatch local, workers;
  local.Put("VERSION", "1");
  workers.Put("INITDATA_DB_VERSION", "2");
  for (int i = 0; i < sites; ++i) {
    const std::string site = "site" + std::to_string(i) + ".example";
    const std::string origin = "https://" + site, id = std::to_string(i);
    local.Put("META:" + origin, "meta");
    for (int k = 0; k < 10; ++k)
      local.Put("_" + origin + std::string(1, '\0') + "\x01key" + std::to_string(k), value);
    workers.Put("INITDATA_UNIQUE_ORIGIN:" + origin + "/", "");
    workers.Put("REG:" + origin + "/" + std::string(1, '\0') + id,
                Field(2, origin + "/") + Field(3, origin + "/sw.js"));
    workers.Put("REGID_TO_ORIGIN:" + id, origin + "/");
    workers.Put("RES:" + id + std::string(1, '\0') + id, Field(2, origin + "/sw.js"));
    // Its own IndexedDB database, a LevelDB database of its own.
    auto idb = Open(profile + "/IndexedDB/https_" + site + "_0.indexeddb.leveldb");
    leveldb::WriteBatch records;
    for (int r = 0; r < 20; ++r) records.Put("record" + std::to_string(r), value);
    idb->Write(leveldb::WriteOptions(), &records);
    std::ofstream(profile + "/Service Worker/ScriptCache/f_" + id, std::ios::binary)
        << "self.addEventListener('fetch', () => {});" << std::string(2000, ' ');
  }
  Open(profile + "/Local Storage/leveldb")->Write(leveldb::WriteOptions(), &local);
  Open(profile + "/Service Worker/Database")->Write(leveldb::WriteOptions(), &workers);
  std::ofstream(profile + "/Service Worker/ScriptCache/index", std::ios::binary) << "index";
  std::ofstream(profile + "/Preferences") << "{}";
  return 0;
}
