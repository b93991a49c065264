#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vm::shell {

// The main window's stored geometry, the settings value `Form`:
// "height,left,top,width,Y" where the last item says whether the stored
// position is used (otherwise the window is centred).
struct FormGeometry {
    static constexpr char kDefault[] = "520,20,36,750,N";

    int height = 520;
    int left = 20;
    int top = 36;
    int width = 750;
    bool useStoredPosition = false;

    // A value that does not have four whole numbers gives the default, so a
    // damaged setting never yields a window of no size.
    static FormGeometry parse(std::string_view text);
    // What is written back at exit: always ",Y", so the next start keeps
    // the position the user left.
    std::string toSetting() const;
};

} // namespace vm::shell
