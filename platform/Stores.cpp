// LevelDB databases through the LevelDB library (third_party/leveldb).
#include <cstdarg>

#include <leveldb/db.h>
#include <leveldb/env.h>
#include <helpers/memenv/memenv.h>
#include <leveldb/write_batch.h>

#include "platform/Databases.h"

namespace nimbrel {

namespace {

DbStatus StatusOf(const leveldb::Status& s) {
  if (s.ok()) return DbStatus::Ok;
  const std::string text = s.ToString();
  if (s.IsCorruption()) return DbStatus::Damaged;
  // The lock another process (or connection) holds: "IO error: lock ...".
  if (s.IsIOError() && text.find("lock") != std::string::npos) return DbStatus::Busy;
  // No CURRENT file, or another comparator's database.
  if (s.IsInvalidArgument() || s.IsNotFound()) return DbStatus::NotADatabase;
  return DbStatus::Failed;
}

// LevelDB's own log of what it did ("LOG" in the database's folder) is not
// written: the browser keeps its own there.
class NoLog final : public leveldb::Logger {
 public:
  void Logv(const char*, std::va_list) override {}
};

class LevelDbStore final : public Store {
 public:
  LevelDbStore(std::unique_ptr<leveldb::DB> db, std::unique_ptr<leveldb::Env> memory)
      : memory_(std::move(memory)), db_(std::move(db)) {}
  ~LevelDbStore() override { db_.reset(); }  // before the Env it may live in

  DbStatus Each(const Visitor& visit) override {
    leveldb::ReadOptions read;
    read.verify_checksums = true;
    read.fill_cache = false;
    const std::unique_ptr<leveldb::Iterator> it(db_->NewIterator(read));
    for (it->SeekToFirst(); it->Valid(); it->Next()) {
      const leveldb::Slice k = it->key(), v = it->value();
      if (!visit(std::string_view(k.data(), k.size()), std::string_view(v.data(), v.size())))
        break;
    }
    return Fail(it->status());
  }

  DbStatus Write(const std::vector<std::string>& gone,
                 const std::vector<std::pair<std::string, std::string>>& put,
                 const std::string&) override {
    leveldb::WriteBatch batch;
    for (const std::string& key : gone) batch.Delete(key);
    for (const auto& [key, value] : put) batch.Put(key, value);
    leveldb::WriteOptions write;
    write.sync = true;
    if (const DbStatus s = Fail(db_->Write(write, &batch)); s != DbStatus::Ok) return s;
    // The deleted entries' bytes stay in the log and the older tables until a
    // compaction rewrites them: all of it, now.
    db_->CompactRange(nullptr, nullptr);
    return DbStatus::Ok;
  }

  std::string Error() override { return error_; }

 private:
  DbStatus Fail(const leveldb::Status& s) {
    if (!s.ok()) error_ = s.ToString();
    return StatusOf(s);
  }

  std::unique_ptr<leveldb::Env> memory_;
  std::unique_ptr<leveldb::DB> db_;
  std::string error_;
};

// Copies every file of the database's folder (its lock and its own info logs
// aside) into `memory`, under the same names; false when one cannot be read.
bool CopyIntoMemory(const std::string& folder, leveldb::Env& memory) {
  leveldb::Env* disk = leveldb::Env::Default();
  std::vector<std::string> names;
  if (!disk->GetChildren(folder, &names).ok()) return false;
  memory.CreateDir(folder);
  for (const std::string& name : names) {
    if (name == "." || name == ".." || name == "LOCK" || name.starts_with("LOG")) continue;
    const std::string path = folder + "/" + name;
    std::uint64_t size = 0;
    if (!disk->GetFileSize(path, &size).ok()) continue;  // a folder
    leveldb::SequentialFile* in = nullptr;
    if (!disk->NewSequentialFile(path, &in).ok()) return false;
    const std::unique_ptr<leveldb::SequentialFile> reading(in);
    leveldb::WritableFile* out = nullptr;
    if (!memory.NewWritableFile(path, &out).ok()) return false;
    const std::unique_ptr<leveldb::WritableFile> writing(out);
    std::string buffer(1 << 16, '\0');
    for (;;) {
      leveldb::Slice piece;
      if (!in->Read(buffer.size(), &piece, buffer.data()).ok()) return false;
      if (piece.empty()) break;
      out->Append(piece);
    }
    out->Close();
  }
  return true;
}

}  // namespace

std::unique_ptr<Store> SqliteDatabases::OpenStore(const std::string& folder, DbStatus& status) {
  return OpenStoreAs(folder, status, false);
}

std::unique_ptr<Store> SqliteDatabases::OpenStoreToRead(const std::string& folder,
                                                        DbStatus& status) {
  return OpenStoreAs(folder, status, true);
}

std::unique_ptr<Store> SqliteDatabases::OpenStoreAs(const std::string& folder, DbStatus& status,
                                                    bool toRead) {
  status = DbStatus::Failed;
  const std::string name = FileName(folder);
  if (name.empty()) return nullptr;
  leveldb::Options options;
  options.create_if_missing = false;
  options.paranoid_checks = true;
  options.max_open_files = 64;
  static NoLog noLog;
  options.info_log = &noLog;
  std::unique_ptr<leveldb::Env> memory;
  if (toRead) {
    memory.reset(leveldb::NewMemEnv(leveldb::Env::Default()));
    if (!CopyIntoMemory(name, *memory)) return nullptr;
    options.env = memory.get();
  }
  // LevelDB would name a missing database's folder as damaged only once it
  // made it: a folder without CURRENT holds none.
  if (!options.env->FileExists(name + "/CURRENT")) {
    status = DbStatus::NotADatabase;
    return nullptr;
  }
  leveldb::DB* db = nullptr;
  const leveldb::Status s = leveldb::DB::Open(options, name, &db);
  if (!s.ok()) {
    status = StatusOf(s);
    if (status == DbStatus::Ok) status = DbStatus::Failed;
    return nullptr;
  }
  status = DbStatus::Ok;
  return std::make_unique<LevelDbStore>(std::unique_ptr<leveldb::DB>(db), std::move(memory));
}

}  // namespace nimbrel
