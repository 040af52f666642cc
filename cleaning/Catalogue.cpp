#include "cleaning/Catalogue.h"

#include <span>

#include "cleaning/Winapp2Erase.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

bool SameLabel(const std::string& row, const std::string& label) {
  return EqualsNoCase(Trim(row), Trim(label));
}

}  // namespace

const std::vector<Track>& BuiltInTracks() {
  static const std::vector<Track> tracks = [] {
    std::vector<Track> out;
    const auto categories = [&out](std::span<const TrackCategory> table) {
      for (const TrackCategory& cat : table)
        out.push_back({TrackKind::Category, cat.label, kOptions, cat.key, &cat});
    };
    categories(kTrackCategories);
    categories(kWindowsTodayCategories);
    for (const BrowserTrack& track : BrowserTracks())
      out.push_back({TrackKind::Browser, track.label, kOptions, track.key, nullptr, &track});
    for (const Application& app : kApplications)
      out.push_back({TrackKind::Application, app.label, kOptions, app.label, nullptr, nullptr, &app});
    return out;
  }();
  return tracks;
}

std::vector<Track> Tracks(Context& ctx) {
  std::vector<Track> tracks = BuiltInTracks();
  for (const Winapp2Entry* entry : Winapp2Entries(ctx, true).detected)
    tracks.push_back({TrackKind::Community, entry->name, kWinapp2Section,
                      Winapp2TickKey(entry->name), nullptr, nullptr, nullptr, entry});
  return tracks;
}

const Track* FindBuiltInTrack(const std::string& row) {
  for (const Track& track : BuiltInTracks())
    if (SameLabel(row, track.label)) return &track;
  return nullptr;
}

std::optional<Track> FindTrack(const Winapp2Run& community, const std::string& row) {
  if (const Track* track = FindBuiltInTrack(row)) return *track;
  if (const Winapp2Entry* entry = community.Find(row))
    return Track{TrackKind::Community, entry->name, kWinapp2Section, Winapp2TickKey(entry->name),
                 nullptr, nullptr, nullptr, entry};
  return std::nullopt;
}

bool Ticked(Context& ctx, const Track& track) {
  switch (track.kind) {
    case TrackKind::Category:
    case TrackKind::Browser: return ctx.OptionSelected(track.key);
    case TrackKind::Application:
      return AsBoolean(ctx.settings.ReadSetting(track.section, track.key, "True")).value_or(false);
    case TrackKind::Community:
      return AsBoolean(ctx.settings.ReadSetting(track.section, track.key, "False")).value_or(false);
  }
  return false;
}

bool TickedByDefault(const BrowserTrack& track, bool installed) {
  return installed &&
         (track.category == BrowserCategory::Cache || track.category == BrowserCategory::History);
}

std::array<bool, kTodaysBrowsers.size()> StoreDefaultTicks(Context& ctx) {
  // A profile that holds a choice of the eighteen has seen an older version:
  // the kinds of trace added since stay unticked until the user ticks them.
  bool fresh = true;
  for (const TrackCategory& cat : kTrackCategories) {
    if (ctx.settings.HasSetting(kOptions, cat.key))
      fresh = false;
    else
      ctx.settings.WriteSetting(kOptions, cat.key, "1");
  }
  for (const TrackCategory& cat : kWindowsTodayCategories)
    if (!ctx.settings.HasSetting(kOptions, cat.key))
      ctx.settings.WriteSetting(kOptions, cat.key, fresh && cat.tickedWhenFresh ? "1" : "0");
  std::array<bool, kTodaysBrowsers.size()> installed{};
  for (std::size_t b = 0; b < kTodaysBrowsers.size(); ++b)
    installed[b] = BrowserInstalled(ctx, kTodaysBrowsers[b].browser);
  for (const BrowserTrack& track : BrowserTracks()) {
    const bool found = installed[static_cast<std::size_t>(track.browser)];
    const std::string stored =
        ctx.settings.ReadSetting(kOptions, track.key, TickedByDefault(track, found) ? "1" : "0");
    if (found && AsInt32(stored) == 1) ctx.settings.WriteSetting(kOptions, track.key, "1");
  }
  return installed;
}

}  // namespace nimbrel
