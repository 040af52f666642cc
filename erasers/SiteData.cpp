#include "erasers/SiteData.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

#include "erasers/BrowserDatabases.h"
#include "erasers/modFiles.h"
#include "platform/Text.h"
#include "settings/KeepLists.h"

namespace nimbrel {

namespace {

// "1,234 bytes", "1 site".
std::string Counted(std::uint64_t n, const char* one, const char* many) {
  std::string digits = std::to_string(n), grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped + " " + (n == 1 ? one : many);
}

// A site told for what no store names ("(unknown site)"): a folder of a
// site's data whose site cannot be read goes, as no kept site's.
constexpr const char* kUnknownSite = "(unknown site)";

// What one profile's sites lost: bytes by site.
class Tally {
 public:
  void Add(const std::string& host, std::uint64_t bytes) {
    gone_[host.empty() ? kUnknownSite : SiteOf(host)] += bytes;
  }
  void Add(const std::map<std::string, std::uint64_t>& sites) {
    for (const auto& [site, bytes] : sites) gone_[site] += bytes;
  }
  bool Empty() const { return gone_.empty(); }
  const std::map<std::string, std::uint64_t>& Sites() const { return gone_; }
  // The profile's lines, and each site told to the platform.
  void Tell(Context& ctx, const std::string& profile) const {
    if (gone_.empty()) return;
    ctx.AddProgressLine("  " + profile + ": site data of " +
                        Counted(gone_.size(), "site", "sites"));
    for (const auto& [site, bytes] : gone_) {
      ctx.AddProgressLine("    " + site + ": " + Counted(bytes, "byte", "bytes"));
      ctx.platform.databases.SiteDataGone(profile, site, bytes);
    }
  }

 private:
  std::map<std::string, std::uint64_t> gone_;
};

bool IsFolder(std::uint32_t attributes) {
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory) &&
         !(attributes & kAttrReparsePoint);
}

// The entries of a folder that are no link: (name, whether a folder).
std::vector<std::pair<std::string, bool>> Listing(Files& files, const std::string& folder) {
  std::vector<std::pair<std::string, bool>> out;
  for (const FileEntry& entry : files.Find(folder + "\\*")) {
    if (entry.name == "." || entry.name == ".." || (entry.attributes & kAttrReparsePoint) ||
        files.IsLink(folder + "\\" + entry.name))
      continue;
    out.emplace_back(entry.name, (entry.attributes & kAttrDirectory) != 0);
  }
  return out;
}

// Each sub-folder of `parent` whose name names a web site no kept site
// holds, erased whole; a name that names none (an extension's) stays.
void EraseSiteFolders(Context& ctx, const std::string& parent,
                      std::string (*hostOf)(std::string_view), const std::vector<std::string>& kept,
                      Tally& tally) {
  if (!IsFolder(ctx.platform.files.Attributes(parent))) return;
  const auto gone = EraseSubFoldersQuietly(ctx, parent, [&](const std::string& name) {
    const std::string host = hostOf(name);
    return !host.empty() && !SiteKept(host, kept);
  });
  for (const auto& [name, bytes] : gone) tally.Add(hostOf(name), bytes);
}

// ---- LevelDB stores ------------------------------------------------------

struct StoreEntry {
  std::string key;
  std::string value;  // kept only where the rules read it
  std::uint64_t bytes = 0;
};

// A kind of Chromium's LevelDB stores: which values it reads, the key that
// tells the store is the one expected, and the host of each entry ("" for the
// store's own entries, which stay). `put` gets entries to write beside the
// deletions (the service workers' resources to purge).
struct StoreRules {
  bool (*readValue)(std::string_view key);
  bool (*expected)(std::string_view key);
  void (*hosts)(const std::vector<StoreEntry>& entries, const std::vector<std::string>& kept,
                std::vector<std::string>& hostOfEach,
                std::vector<std::pair<std::string, std::string>>& put);
};

std::string Reason(DbStatus status) {
  switch (status) {
    case DbStatus::Busy: return "in use by another program";
    case DbStatus::NotADatabase: return "not a LevelDB database";
    case DbStatus::Damaged: return "damaged";
    default: return "LevelDB failed";
  }
}

// What happened to a store: its sites (gone and kept), or why it was left.
struct StoreOutcome {
  bool there = false;      // a database was found in the folder
  bool left = false;       // left as it was, with its line
  bool keptSites = false;  // a kept site has entries in it
  std::map<std::string, std::uint64_t> gone;  // by site
  std::vector<std::string> goneKeys;
  std::vector<std::pair<std::string, std::string>> put;
};

// Reads the store in `folder` and sorts its entries by site.
StoreOutcome ReadStore(Context& ctx, const std::string& folder, const StoreRules& rules,
                       const std::vector<std::string>& kept, std::unique_ptr<Store>& store) {
  StoreOutcome out;
  Files& files = ctx.platform.files;
  if (!IsFolder(files.Attributes(folder)) || !Exists(files, folder + "\\CURRENT")) return out;
  out.there = true;
  DbStatus status = DbStatus::Failed;
  store = ctx.platform.databases.OpenStore(folder, status);
  if (!store) {
    out.left = true;
    ctx.Left(Reason(status), folder);
    return out;
  }
  std::vector<StoreEntry> entries;
  bool expected = false;
  status = store->Each([&](std::string_view key, std::string_view value) {
    StoreEntry& e = entries.emplace_back();
    e.key = std::string(key);
    if (rules.readValue(key)) e.value = std::string(value);
    e.bytes = key.size() + value.size();
    expected = expected || rules.expected(key);
    return true;
  });
  if (status != DbStatus::Ok) {
    out.left = true;
    ctx.Left(Reason(status), folder);
    return out;
  }
  std::vector<std::string> hosts(entries.size());
  rules.hosts(entries, kept, hosts, out.put);
  const bool anySite = std::any_of(hosts.begin(), hosts.end(),
                                   [](const std::string& h) { return !h.empty(); });
  if (anySite && !expected) {
    out.left = true;
    ctx.Left("unexpected entries", folder);
    return out;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (hosts[i].empty()) continue;
    if (SiteKept(hosts[i], kept)) {
      out.keptSites = true;
      continue;
    }
    out.gone[SiteOf(hosts[i])] += entries[i].bytes;
    out.goneKeys.push_back(entries[i].key);
  }
  return out;
}

// The store in `folder`: with no kept site's entry in it, `whole` goes as a
// folder; else the other sites' entries go through LevelDB.
void EraseStore(Context& ctx, const std::string& folder, const std::string& whole,
                const StoreRules& rules, const std::vector<std::string>& kept, Tally& tally) {
  std::unique_ptr<Store> store;
  StoreOutcome out = ReadStore(ctx, folder, rules, kept, store);
  if (!out.there || out.left || out.gone.empty()) return;
  if (!out.keptSites) {
    store.reset();
    EraseTreeQuietly(ctx, whole);
    if (!Exists(ctx.platform.files, whole)) tally.Add(out.gone);
    return;
  }
  const std::string what = Counted(out.gone.size(), "site", "sites");
  if (const DbStatus s = store->Write(out.goneKeys, out.put, what); s != DbStatus::Ok)
    return ctx.Left(Reason(s), folder);
  tally.Add(out.gone);
}

bool NoValue(std::string_view) { return false; }

std::string_view After(std::string_view text, std::string_view prefix) {
  return text.substr(prefix.size());
}

// Local Storage: "VERSION"; "META:" and "METAACCESS:" + origin; "_" +
// origin + "\0" + the page's key.
void LocalStorageHosts(const std::vector<StoreEntry>& entries, const std::vector<std::string>&,
                       std::vector<std::string>& hosts,
                       std::vector<std::pair<std::string, std::string>>&) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view key = entries[i].key;
    if (key.starts_with("META:")) hosts[i] = HostOfOrigin(After(key, "META:"));
    else if (key.starts_with("METAACCESS:")) hosts[i] = HostOfOrigin(After(key, "METAACCESS:"));
    else if (key.starts_with("_")) hosts[i] = HostOfOrigin(key.substr(1, key.find('\0') - 1));
  }
}

const StoreRules kLocalStorage{NoValue, [](std::string_view k) { return k == "VERSION"; },
                               LocalStorageHosts};

// Session Storage: "version", "next-map-id"; "namespace-" + a 36-letter id
// + "-" + origin, whose value is the number of its map; "map-" + number +
// "-" + the page's key. A map goes with the origins that use it, unless a
// kept one does too.
void SessionStorageHosts(const std::vector<StoreEntry>& entries,
                         const std::vector<std::string>& kept, std::vector<std::string>& hosts,
                         std::vector<std::pair<std::string, std::string>>&) {
  constexpr std::size_t kIdLength = 36;
  std::map<std::string, std::string> mapHost;  // map number -> a gone site using it
  std::set<std::string> keptMaps;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view key = entries[i].key;
    if (!key.starts_with("namespace-") || key.size() <= 10 + kIdLength + 1) continue;
    hosts[i] = HostOfOrigin(key.substr(10 + kIdLength + 1));
    if (hosts[i].empty() || SiteKept(hosts[i], kept)) keptMaps.insert(entries[i].value);
    else mapHost.emplace(entries[i].value, hosts[i]);
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view key = entries[i].key;
    if (!key.starts_with("map-")) continue;
    const std::string number(key.substr(4, key.find('-', 4) - 4));
    const auto it = mapHost.find(number);
    if (it != mapHost.end() && !keptMaps.count(number)) hosts[i] = it->second;
  }
}

const StoreRules kSessionStorage{
    [](std::string_view k) { return k.starts_with("namespace-"); },
    [](std::string_view k) { return k == "version"; }, SessionStorageHosts};

// A protocol buffer's first field `field` of the length-delimited kind (a
// string), read without its schema; empty when it has none.
std::string ProtoString(std::string_view message, unsigned field) {
  std::size_t at = 0;
  const auto varint = [&](std::uint64_t& v) {
    v = 0;
    for (int shift = 0; at < message.size() && shift < 64; shift += 7) {
      const auto b = static_cast<unsigned char>(message[at++]);
      v |= static_cast<std::uint64_t>(b & 0x7f) << shift;
      if (!(b & 0x80)) return true;
    }
    return false;
  };
  while (at < message.size()) {
    std::uint64_t tag = 0, n = 0;
    if (!varint(tag)) return {};
    switch (tag & 7) {
      case 0: if (!varint(n)) return {}; break;
      case 1: at += 8; break;
      case 5: at += 4; break;
      case 2:
        if (!varint(n) || n > message.size() - at) return {};
        if ((tag >> 3) == field) return std::string(message.substr(at, n));
        at += n;
        break;
      default: return {};
    }
  }
  return {};
}

// The service workers' database ("Service Worker\Database"):
//   "INITDATA_UNIQUE_ORIGIN:" + origin; "REG:" + origin + "\0" + id, the
//   registration; "REGID_TO_ORIGIN:" + id, valued its origin; "RES:" +
//   version + "\0" + resource, the record of a script, whose URL is its
//   field 2; "REG_USER_DATA:" + id + "\0" + name and "REG_HAS_USER_DATA:" +
//   name + "\0" + id.
// A script of a registration that goes is written as purgeable ("PRES:" +
// resource), as Chromium deletes a registration: the browser then removes
// it from ScriptCache itself.
void ServiceWorkerHosts(const std::vector<StoreEntry>& entries, const std::vector<std::string>& kept,
                        std::vector<std::string>& hosts,
                        std::vector<std::pair<std::string, std::string>>& put) {
  std::map<std::string, std::string> idHost;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view key = entries[i].key;
    if (key.starts_with("REG:")) {
      const std::size_t zero = key.find('\0');
      hosts[i] = HostOfOrigin(key.substr(4, zero - 4));
      if (zero != std::string_view::npos) idHost[std::string(key.substr(zero + 1))] = hosts[i];
    } else if (key.starts_with("REGID_TO_ORIGIN:")) {
      hosts[i] = HostOfOrigin(entries[i].value);
      idHost[std::string(After(key, "REGID_TO_ORIGIN:"))] = hosts[i];
    } else if (key.starts_with("INITDATA_UNIQUE_ORIGIN:")) {
      hosts[i] = HostOfOrigin(After(key, "INITDATA_UNIQUE_ORIGIN:"));
    } else if (key.starts_with("INITDATA_FOREIGN_FETCH_ORIGIN:")) {
      hosts[i] = HostOfOrigin(After(key, "INITDATA_FOREIGN_FETCH_ORIGIN:"));
    } else if (key.starts_with("RES:")) {
      hosts[i] = HostOfOrigin(ProtoString(entries[i].value, 2));
      const std::size_t zero = key.find('\0');
      if (!hosts[i].empty() && !SiteKept(hosts[i], kept) && zero != std::string_view::npos)
        put.emplace_back("PRES:" + std::string(key.substr(zero + 1)), "");
    }
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view key = entries[i].key;
    std::string id;
    if (key.starts_with("REG_USER_DATA:")) {
      id = std::string(key.substr(14, key.find('\0') - 14));
    } else if (key.starts_with("REG_HAS_USER_DATA:")) {
      const std::size_t zero = key.find('\0');
      if (zero != std::string_view::npos) id = std::string(key.substr(zero + 1));
    } else {
      continue;
    }
    const auto it = idHost.find(id);
    if (it != idHost.end()) hosts[i] = it->second;
  }
}

const StoreRules kServiceWorkers{
    [](std::string_view k) { return k.starts_with("REGID_TO_ORIGIN:") || k.starts_with("RES:"); },
    [](std::string_view k) { return k == "INITDATA_DB_VERSION"; }, ServiceWorkerHosts};

// The file system API's origins ("File System\Origins"): "ORIGIN:" + origin
// identifier, valued the number of its folder; "LAST_PATH".
void FileSystemHosts(const std::vector<StoreEntry>& entries, const std::vector<std::string>&,
                     std::vector<std::string>& hosts,
                     std::vector<std::pair<std::string, std::string>>&) {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].key.starts_with("ORIGIN:"))
      hosts[i] = HostOfOriginIdentifier(After(entries[i].key, "ORIGIN:"));
}

const StoreRules kFileSystemOrigins{
    [](std::string_view k) { return k.starts_with("ORIGIN:"); },
    [](std::string_view k) { return k.starts_with("ORIGIN:") || k == "LAST_PATH"; },
    FileSystemHosts};

// ---- Chromium -----------------------------------------------------------

// A Cache Storage folder's site: the first web origin its index names.
std::string CacheStorageHost(Context& ctx, const std::string& folder) {
  const std::optional<std::string> index = ctx.platform.files.ReadAll(folder + "\\index.txt");
  if (!index) return {};
  for (const char* scheme : {"https://", "http://"})
    if (const std::size_t at = index->find(scheme); at != std::string::npos)
      return HostOfOrigin(std::string_view(*index).substr(at));
  return {};
}

void EraseServiceWorkers(Context& ctx, const std::string& profile,
                         const std::vector<std::string>& kept, Tally& tally) {
  Files& files = ctx.platform.files;
  const std::string root = profile + "\\Service Worker";
  if (!IsFolder(files.Attributes(root))) return;
  // The Cache Storage folders, by site.
  const std::string caches = root + "\\CacheStorage";
  std::vector<std::pair<std::string, std::string>> cacheFolders;  // path, host
  bool keptCache = false;
  if (IsFolder(files.Attributes(caches)))
    for (const auto& [name, folder] : Listing(files, caches)) {
      if (!folder) continue;
      const std::string path = caches + "\\" + name;
      const std::string host = CacheStorageHost(ctx, path);
      if (!host.empty() && SiteKept(host, kept)) keptCache = true;
      else cacheFolders.emplace_back(path, host);
    }
  std::unique_ptr<Store> store;
  StoreOutcome db = ReadStore(ctx, root + "\\Database", kServiceWorkers, kept, store);
  if (db.left) return;  // the registrations and their caches stay together
  if (!db.keptSites && !keptCache) {
    // No kept site's worker: everything goes, the scripts' cache with it.
    store.reset();
    for (const auto& [path, host] : cacheFolders) {
      const std::uint64_t bytes = EraseTreeQuietly(ctx, path);
      if (!Exists(files, path)) tally.Add(host, bytes);
    }
    EraseTreeQuietly(ctx, root);
    if (!Exists(files, root)) tally.Add(db.gone);
    return;
  }
  if (store && !db.gone.empty()) {
    const std::string what = Counted(db.gone.size(), "site", "sites");
    if (const DbStatus s = store->Write(db.goneKeys, db.put, what); s != DbStatus::Ok)
      return ctx.Left(Reason(s), root + "\\Database");
    tally.Add(db.gone);
  }
  for (const auto& [path, host] : cacheFolders) {
    const std::uint64_t bytes = EraseTreeQuietly(ctx, path);
    if (!Exists(files, path)) tally.Add(host, bytes);
    ctx.DoEvents();
  }
}

void EraseFileSystem(Context& ctx, const std::string& profile,
                     const std::vector<std::string>& kept, Tally& tally) {
  Files& files = ctx.platform.files;
  const std::string root = profile + "\\File System";
  if (!IsFolder(files.Attributes(root))) return;
  std::unique_ptr<Store> store;
  StoreOutcome db = ReadStore(ctx, root + "\\Origins", kFileSystemOrigins, kept, store);
  if (db.left) return;
  // The primary origin's files lie in "primary", named by "primary.origin".
  const std::optional<std::string> primary = files.ReadAll(root + "\\primary.origin");
  const std::string primaryHost = primary ? HostOfOriginIdentifier(Trim(*primary)) : "";
  const bool primaryKept = !primaryHost.empty() && SiteKept(primaryHost, kept);
  if (!db.keptSites && !primaryKept) {
    store.reset();
    if (primary) {
      const std::uint64_t bytes = EraseTreeQuietly(ctx, root + "\\primary");
      tally.Add(primaryHost, bytes);
    }
    EraseTreeQuietly(ctx, root);
    if (!Exists(files, root)) tally.Add(db.gone);
    return;
  }
  // Each gone origin's folder, named by its entry's value.
  std::vector<std::string> goneFolders;
  store->Each([&](std::string_view key, std::string_view value) {
    if (key.starts_with("ORIGIN:") &&
        std::find(db.goneKeys.begin(), db.goneKeys.end(), key) != db.goneKeys.end() &&
        !value.empty() && value.find_first_of("\\/.:") == std::string_view::npos)
      goneFolders.emplace_back(value);
    return true;
  });
  if (!db.gone.empty()) {
    if (const DbStatus s = store->Write(db.goneKeys, {}, Counted(db.gone.size(), "site", "sites"));
        s != DbStatus::Ok)
      return ctx.Left(Reason(s), root + "\\Origins");
    tally.Add(db.gone);
  }
  for (const std::string& name : goneFolders) EraseTreeQuietly(ctx, root + "\\" + name);
  if (primary && !primaryKept) {
    const std::uint64_t bytes = EraseTreeQuietly(ctx, root + "\\primary");
    EraseFile(ctx, root + "\\primary.origin");
    tally.Add(primaryHost, bytes);
  }
}


// The storage buckets ("WebStorage"): QuotaManager's "buckets" rows name
// each bucket's site (its storage key) and number, the number its folder.
void EraseWebStorage(Context& ctx, const std::string& profile,
                     const std::vector<std::string>& kept, Tally& tally) {
  Files& files = ctx.platform.files;
  const std::string root = profile + "\\WebStorage";
  if (!IsFolder(files.Attributes(root))) return;
  const std::string quota = root + "\\QuotaManager";
  // Each bucket's folder and site, read before the rows go.
  std::map<std::string, std::string> bucketHost;
  bool readable = !Exists(files, quota);
  if (!readable) {
    DbStatus status = DbStatus::Failed;
    if (const std::unique_ptr<Database> db = ctx.platform.databases.OpenToRead(quota, status)) {
      DbRows rows;
      if (db->Query("SELECT id, storage_key FROM buckets", rows) == DbStatus::Ok) {
        readable = true;
        for (const auto& row : rows)
          if (row.size() == 2) bucketHost[row[0]] = HostOfOrigin(row[1]);
      }
    }
  }
  if (Exists(files, quota)) {
    const SiteRowsGone gone =
        EraseSiteRows(ctx, quota, {{"storage_key", HostOfOrigin}, {"origin", HostOfOrigin}}, kept);
    if (gone.left || !readable) return;  // which folder is whose is not known
  }
  for (const auto& [name, folder] : Listing(files, root)) {
    if (!folder || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto it = bucketHost.find(name);
    const std::string host = it == bucketHost.end() ? std::string() : it->second;
    if (it != bucketHost.end() && (host.empty() || SiteKept(host, kept))) continue;
    const std::string path = root + "\\" + name;
    const std::uint64_t bytes = EraseTreeQuietly(ctx, path);
    if (!Exists(files, path)) tally.Add(host, bytes);
    ctx.DoEvents();
  }
}

// WebSQL ("databases"): a folder per origin identifier, and Databases.db's
// rows naming each database and its origin.
void EraseWebSql(Context& ctx, const std::string& profile, const std::vector<std::string>& kept,
                 Tally& tally) {
  const std::string root = profile + "\\databases";
  if (!IsFolder(ctx.platform.files.Attributes(root))) return;
  if (Exists(ctx.platform.files, root + "\\Databases.db")) {
    const SiteRowsGone gone =
        EraseSiteRows(ctx, root + "\\Databases.db", {{"origin", HostOfOriginIdentifier}}, kept);
    if (gone.left) return;
  }
  EraseSiteFolders(ctx, root, HostOfOriginIdentifier, kept, tally);
}

std::string IndexedDbHost(std::string_view name) {
  const std::size_t dot = name.find(".indexeddb.");
  return dot == std::string_view::npos ? std::string() : HostOfOriginIdentifier(name.substr(0, dot));
}

// The advertising stores, kept by the browser of the sites for the ad
// networks: erased whole, each with its progress line; SharedStorage, which
// a site keeps of itself, loses the other sites' rows.
constexpr const char* kAdvertisingStores[] = {"InterestGroups", "Conversions", "Trust Tokens"};

void EraseAdvertisingStores(Context& ctx, const std::string& profile,
                            const std::vector<std::string>& kept, Tally& tally) {
  Files& files = ctx.platform.files;
  for (const std::string& folder : {profile, profile + "\\Network"}) {
    for (const char* name : kAdvertisingStores)
      for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        const std::string path = folder + "\\" + name + suffix;
        const std::uint32_t attributes = files.Attributes(path);
        if (attributes == kInvalidAttributes || (attributes & (kAttrDirectory | kAttrReparsePoint)))
          continue;
        ctx.AddProgressLine("  " + path);
        EraseFile(ctx, path);
      }
    const std::string shared = folder + "\\SharedStorage";
    if (Exists(files, shared))
      tally.Add(EraseSiteRows(ctx, shared,
                              {{"context_origin", HostOfOrigin}, {"context_site", HostOfOrigin}},
                              kept)
                    .sites);
  }
}

void EraseChromiumProfile(Context& ctx, const std::string& profile,
                          const std::vector<std::string>& kept, Tally& tally) {
  EraseStore(ctx, profile + "\\Local Storage\\leveldb", profile + "\\Local Storage", kLocalStorage,
             kept, tally);
  EraseStore(ctx, profile + "\\Session Storage", profile + "\\Session Storage", kSessionStorage,
             kept, tally);
  EraseSiteFolders(ctx, profile + "\\IndexedDB", IndexedDbHost, kept, tally);
  EraseServiceWorkers(ctx, profile, kept, tally);
  EraseFileSystem(ctx, profile, kept, tally);
  EraseWebStorage(ctx, profile, kept, tally);
  EraseWebSql(ctx, profile, kept, tally);
  EraseAdvertisingStores(ctx, profile, kept, tally);
}

// ---- Firefox -------------------------------------------------------------

void EraseFirefoxServiceWorkers(Context& ctx, const std::string& profile,
                                const std::vector<std::string>& kept, Tally& tally) {
  Files& files = ctx.platform.files;
  const std::string path = profile + "\\serviceworker.txt";
  const std::uint32_t attributes = files.Attributes(path);
  if (attributes == kInvalidAttributes || (attributes & (kAttrDirectory | kAttrReparsePoint)))
    return;
  if (files.IsLink(path) || files.LinkCount(path) > 1) return ctx.Left("refused: link", path);
  const std::optional<std::string> text = files.ReadAll(path);
  if (!text) return ctx.Left("cannot be read", path);
  std::vector<std::pair<std::string, std::uint64_t>> gone;
  const std::string keptText = KeptServiceWorkers(*text, kept, gone);
  if (gone.empty()) return;
  // Written beside it and put in its place in one step, as Firefox does.
  const std::string fresh = path + ".nimbrel";
  if (!files.WriteAll(fresh, keptText) || !files.Replace(fresh, path)) {
    files.Delete(fresh);
    return ctx.Left("cannot be written", path);
  }
  for (const auto& [host, bytes] : gone) tally.Add(host, bytes);
}

void EraseFirefoxProfile(Context& ctx, const std::string& profile,
                         const std::vector<std::string>& kept, Tally& tally) {
  Tally folders;
  for (const char* repository : {"\\storage\\default", "\\storage\\temporary"})
    EraseSiteFolders(ctx, profile + repository, HostOfFirefoxFolder, kept, folders);
  if (!folders.Empty()) MarkFirefoxStorageStale(ctx, profile);
  tally.Add(folders.Sites());
  // Local Storage as Firefox kept it before its sites' folders, and its copy
  // archived when it moved it there.
  for (const char* name : {"\\webappsstore.sqlite", "\\storage\\ls-archive.sqlite"}) {
    const std::string path = profile + name;
    if (Exists(ctx.platform.files, path))
      tally.Add(EraseSiteRows(ctx, path, {{"originKey", HostOfReversedOrigin}}, kept).sites);
  }
  EraseFirefoxServiceWorkers(ctx, profile, kept, tally);
}

}  // namespace

std::string HostOfOrigin(std::string_view origin) {
  std::size_t at = 0;
  if (origin.substr(0, 8) == "https://" || origin.substr(0, 8) == "HTTPS://") at = 8;
  else if (origin.substr(0, 7) == "http://" || origin.substr(0, 7) == "HTTP://") at = 7;
  else return {};
  const std::string_view rest = origin.substr(at);
  std::size_t end;
  if (rest.starts_with('[')) {
    end = rest.find(']');
    end = end == std::string_view::npos ? rest.size() : end + 1;
  } else {
    end = rest.find_first_of(":/^?#\\");
    if (end == std::string_view::npos) end = rest.size();
  }
  return ToLower(std::string(rest.substr(0, end)));
}

std::string HostOfOriginIdentifier(std::string_view identifier) {
  std::size_t at = 0;
  if (identifier.starts_with("https_")) at = 6;
  else if (identifier.starts_with("http_")) at = 5;
  else return {};
  const std::string_view rest = identifier.substr(at);
  const std::size_t port = rest.rfind('_');
  if (port == std::string_view::npos || port == 0) return {};
  const std::string_view number = rest.substr(port + 1);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) return {};
  return ToLower(std::string(rest.substr(0, port)));
}

std::string HostOfFirefoxFolder(std::string_view name) {
  std::size_t at = 0;
  if (name.starts_with("https+++")) at = 8;
  else if (name.starts_with("http+++")) at = 7;
  else return {};
  const std::string_view rest = name.substr(at);
  if (rest.starts_with('[')) {  // an IPv6 address, its ':' spelt '+'
    std::string host(rest.substr(0, std::min(rest.find(']'), rest.size() - 1) + 1));
    std::replace(host.begin(), host.end(), '+', ':');
    return ToLower(host);
  }
  return ToLower(std::string(rest.substr(0, rest.find_first_of("+^"))));
}

std::string HostOfReversedOrigin(std::string_view key) {
  const std::size_t colon = key.find(':');
  if (colon == std::string_view::npos) return {};
  const std::string_view scheme = key.substr(colon + 1, key.find(':', colon + 1) - colon - 1);
  if (scheme != "http" && scheme != "https") return {};
  std::string host(key.substr(0, colon));
  std::reverse(host.begin(), host.end());
  while (host.starts_with('.')) host.erase(0, 1);
  return ToLower(host);
}

std::string KeptServiceWorkers(std::string_view text, const std::vector<std::string>& keptSites,
                               std::vector<std::pair<std::string, std::uint64_t>>& goneBytes) {
  std::string out;
  std::size_t at = 0;
  bool first = true;
  std::string record, host;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    end = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(at, end - at);
    at = end;
    if (first) {  // the version
      out.append(line);
      first = false;
      continue;
    }
    record.append(line);
    std::string_view bare = line;
    while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) bare.remove_suffix(1);
    if (host.empty()) host = HostOfOrigin(bare);
    if (bare != "#") continue;
    if (host.empty() || SiteKept(host, keptSites)) out += record;
    else goneBytes.emplace_back(host, record.size());
    record.clear();
    host.clear();
  }
  out += record;  // an unfinished record stays as it was
  return out;
}

void EraseSiteData(Context& ctx, TodaysBrowser browser, const BrowserFolders& folders,
                   const std::vector<std::string>& keptSites) {
  for (const BrowserFolder& profile : folders.profiles) {
    Tally tally;
    if (browser == TodaysBrowser::Firefox)
      EraseFirefoxProfile(ctx, profile.folder, keptSites, tally);
    else
      EraseChromiumProfile(ctx, profile.folder, keptSites, tally);
    tally.Tell(ctx, profile.folder);
    ctx.DoEvents();
  }
}

}  // namespace nimbrel
