#include "settings/frame_placement.h"

#include "platform/ini_store.h"

namespace ordinex {

FramePlacement LoadFramePlacement(const IniStore& ini, const std::string& section, bool readAll) {
    FramePlacement p;
    const FramePlacement d;
    p.flags = ini.GetInt(section, "Flags", d.flags);
    p.showCmd = ini.GetInt(section, "ShowCmd", d.showCmd);
    p.minX = ini.GetInt(section, "Min_X", d.minX);
    p.minY = ini.GetInt(section, "Min_Y", d.minY);
    p.maxX = ini.GetInt(section, "Max_X", d.maxX);
    p.maxY = ini.GetInt(section, "Max_Y", d.maxY);
    if (readAll) {
        p.left = ini.GetInt(section, "Left", d.left);
        p.top = ini.GetInt(section, "Top", d.top);
        p.right = ini.GetInt(section, "Right", d.right);
        p.bottom = ini.GetInt(section, "Bottom", d.bottom);
    }
    return p;
}

void SaveFramePlacement(IniStore& ini, const std::string& section, const FramePlacement& p) {
    ini.SetInt(section, "Flags", p.flags);
    ini.SetInt(section, "ShowCmd", p.showCmd);
    ini.SetInt(section, "Min_X", p.minX);
    ini.SetInt(section, "Min_Y", p.minY);
    ini.SetInt(section, "Max_X", p.maxX);
    ini.SetInt(section, "Max_Y", p.maxY);
    ini.SetInt(section, "Left", p.left);
    ini.SetInt(section, "Top", p.top);
    ini.SetInt(section, "Right", p.right);
    ini.SetInt(section, "Bottom", p.bottom);
}

} // namespace ordinex
