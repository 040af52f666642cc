// Every platform interface the program uses, reached through one bundle.
#pragma once

#include "platform/Databases.h"
#include "platform/Desktop.h"
#include "platform/EventLoop.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/UrlCache.h"
#include "platform/UrlHistory.h"

namespace nimbrel {

struct Platform {
  Registry& registry;
  Files& files;
  System& system;
  Shell& shell;
  Desktop& desktop;
  EventLoop& loop;
  Profile& profile;
  UrlHistory& urlHistory;
  UrlCache& urlCache;
  Databases& databases;
};

}  // namespace nimbrel
