#pragma once

#include "platform/ProfileFunctions.h"
#include "tests/support/Json.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace ostrevan::test {

struct ProfileCase {
    std::string id;
    Json json;
};
inline void PrintTo(const ProfileCase& profileCase, std::ostream* out) {
    *out << profileCase.id;
}

// The cases of ini/profile.json in the test data.
std::vector<ProfileCase> profileCases();
std::string profileTestName(const ProfileCase& profileCase);

// Whose rules the engine follows: Windows' own, or ours, which differ from the recording
// where our notes on the vectors say (writes keep the rest of the file, names fold every
// letter of the code page, a cut list ends in two NULs).
enum class ProfileRules { Windows, Ostrevan };

// Plays a case's calls on an engine and checks return values, buffer bytes (and that nothing
// past them was written) and the files after each write. The recording's C:\windows is
// windowsFolder, its C:\oracle a folder "oracle" in scratch; the current folder is
// oracle\cwd while the player lives.
class ProfilePlayer final {
public:
    ProfilePlayer(ProfileFunctions& engine, const std::string& windowsFolder,
                  const std::string& scratch, ProfileRules rules);
    ~ProfilePlayer();
    ProfilePlayer(const ProfilePlayer&) = delete;
    ProfilePlayer& operator=(const ProfilePlayer&) = delete;

    void play(const ProfileCase& profileCase);

private:
    std::filesystem::path localPath(const std::string& windowsPath) const;
    std::string fileArgument(const Json& value) const;
    void checkFile(const Json& after, const std::string& where) const;
    void readString(const ProfileCase& profileCase, int index, const Json& call,
                    const std::string& where);
    void observeLocations(const Json& call, const std::string& where) const;

    ProfileFunctions& m_engine;
    std::filesystem::path m_windows;
    std::filesystem::path m_oracle;
    std::filesystem::path m_previousFolder;
    ProfileRules m_rules;
};

} // namespace ostrevan::test
