// Every track the program erases, in the order of the to-be-erased list: the
// eighteen categories, today's browsers' rows, the catalogue applications and
// the detected entries of the community file. Each track says where its tick
// is stored and what erases it; a row finds its track by one lookup of its
// label. The list building, the run's dispatch, Erasing Settings' load and
// the window-less runs all read the ticks through here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "cleaning/Winapp2.h"
#include "core/Context.h"

namespace nimbrel {

class Winapp2Run;

enum class TrackKind { Category, Browser, Application, Community };

struct Track {
  TrackKind kind;
  std::string label;  // the to-be-erased row
  // Where its tick is stored: section "Options" but for a community entry.
  std::string section, key;
  // What it is: the one of these its kind names.
  const TrackCategory* category = nullptr;
  const BrowserTrack* browser = nullptr;
  const Application* application = nullptr;
  const Winapp2Entry* community = nullptr;
};

// The built-in tracks, in list order; made once.
const std::vector<Track>& BuiltInTracks();
// The built-in track of a to-be-erased row (labels compared case- and
// outer-blank-insensitively); null for a community row or none.
const Track* FindBuiltInTrack(const std::string& row);
// Every track: the built-in ones, then the community file's detected entries.
std::vector<Track> Tracks(Context& ctx);
// The track of a to-be-erased row (labels compared case- and outer-blank-
// insensitively), a community entry's as the run read the file; none for a
// row no track has.
std::optional<Track> FindTrack(const Winapp2Run& community, const std::string& row);

// Whether the track is ticked in the settings store. A category or a browser
// row is ticked by "1" (any number equal to one); an application by any text
// that reads as true, and when absent; a community entry by a text that reads
// as true, never when absent.
bool Ticked(Context& ctx, const Track& track);

// What loading Erasing Settings stores before anything is shown: every one
// of the eighteen categories never stored is stored "1", every later one
// "1" on a fresh profile (but where it is not ticked when fresh) and "0" on
// one that held any of the eighteen, and of each installed browser every
// row the dialog shows ticked (by its stored number, else Cache and History)
// is stored "1", so that a run takes exactly the choices the dialog shows.
// Returns which of today's browsers it found installed.
std::array<bool, kTodaysBrowsers.size()> StoreDefaultTicks(Context& ctx);
// Whether Erasing Settings shows a browser row ticked by default: Cache and
// History of an installed browser. Cookies and Sessions, whose erasing signs
// the user out and loses the open tabs, are not.
bool TickedByDefault(const BrowserTrack& track, bool installed);

}  // namespace nimbrel
