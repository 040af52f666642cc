// Profile (INI) strings, as GetPrivateProfileStringA and
// WritePrivateProfileStringA see them.
#pragma once

#include <string>

namespace nimbrel {

class Profile {
 public:
  virtual ~Profile() = default;
  // The value with an empty default and a 255-character buffer: at most 254
  // characters, surrounding blanks and quotes removed. Empty when the file,
  // section or key is missing.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& file) = 0;
  // Creates the file and the section when missing; false when it failed.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& file) = 0;
};

}  // namespace nimbrel
