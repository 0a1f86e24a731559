// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsFile.h"

#include "library/IDialogs.h"
#include "library/LineReader.h"
#include "library/ROMList.h"
#include "library/SafeFileWriter.h"
#include "library/TextUtils.h"
#include "playlist/Playlist.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <utility>

namespace tarvo {

namespace {

const char* const kKeptAtCloseKey = "PlaylistKeptAtClose";

const char* const kCrashRecoveredMessage =
    "Oops!  Apparently I crashed or something last time, but I managed to auto-save a copy of "
    "your Playlist before that happened.  I reloaded this temporary Playlist for you.  I'd "
    "recommend you save it soon.";

int AsFlag(const std::string& value) {
    return ParseInt(value) != 0 ? 1 : 0;
}

int ClampComponent(int value) {
    return std::clamp(value, 0, 255);
}

// "WIDTHxHEIGHT", each from 1 to kLargestWindowSide; anything else is no size.
constexpr int kLargestWindowSide = 100000;

// The windows the user may resize, by their keys.
const std::pair<const char*, WindowSize Config::*> kWindowSizes[] = {
    {"MainWindowSize", &Config::MainWindowSize},
    {"PlaylistManagerSize", &Config::PlaylistManagerSize},
    {"GameBrowserSize", &Config::GameBrowserSize}};

WindowSize ParseWindowSize(const std::string& value) {
    const size_t x = value.find_first_of("xX");
    if (x == std::string::npos) return {};
    const WindowSize size{ParseInt(value.substr(0, x)), ParseInt(value.substr(x + 1))};
    const bool fits =
        size.IsSet() && size.width <= kLargestWindowSide && size.height <= kLargestWindowSide;
    return fits ? size : WindowSize{};
}

void WriteWindowSize(std::ostream& out, const char* key, const WindowSize& size) {
    if (size.IsSet()) out << key << '=' << size.width << 'x' << size.height << '\n';
}

// "220,90,140": each width a sane number of pixels, else no widths at all.
std::vector<int> ParseWidths(std::string value) {
    constexpr int kMostColumns = 32, kWidest = 10000;
    std::vector<int> widths;
    while (!value.empty() && widths.size() <= kMostColumns) {
        const std::string part = SplitToken(value, ',');
        const int width = ParseInt(part);
        if (width <= 0 || width > kWidest || std::to_string(width) != part) return {};
        widths.push_back(width);
    }
    return widths.size() <= kMostColumns ? widths : std::vector<int>{};
}

// "3 descending": a column, and which way; anything else is no order.
void ParseSortOrder(std::string value, TableView& view) {
    const std::string column = SplitToken(value, ' ');
    const int number = ParseInt(column);
    if (std::to_string(number) != column || number < 0 || number > 31) return;
    view.sortColumn = number;
    view.descending = EqualsNoCase(value, "descending");
}

void WriteTableView(std::ostream& out, const char* name, const TableView& view) {
    if (!view.widths.empty()) {
        out << name << "Columns=";
        for (size_t i = 0; i < view.widths.size(); ++i)
            out << (i ? "," : "") << view.widths[i];
        out << '\n';
    }
    if (view.sortColumn >= 0)
        out << name << "Sort=" << view.sortColumn
            << (view.descending ? " descending" : " ascending") << '\n';
}

// "R G B": split at the first space, then the next; the remainder is blue.
RgbColor ParseColor(std::string value) {
    const int red = ParseInt(SplitToken(value, ' '));
    const int green = ParseInt(SplitToken(value, ' '));
    const int blue = ParseInt(TrimSpace(value));
    return {ClampComponent(red), ClampComponent(green), ClampComponent(blue)};
}

void WriteColor(std::ostream& out, const char* key, const RgbColor& color) {
    out << key << '=' << color.red << ' ' << color.green << ' ' << color.blue << '\n';
}

} // namespace

CSettingsFile::CSettingsFile(std::string programFolder, CROMList& romList, CPlaylist& playlist,
                             IDialogs& dialogs)
    : m_programFolder(std::move(programFolder)), m_romList(romList), m_playlist(playlist),
      m_dialogs(dialogs) {}

void CSettingsFile::SetDefaults(Config& config) {
    config = Config();
    std::string defaultFolder = DefaultROMFolder();
    m_romList.AddFolder(defaultFolder);
}

void CSettingsFile::Read(Config& config) {
    std::ifstream in;
    if (IsRegularFile(Path())) in.open(Path(), std::ios::binary);
    if (!in.is_open()) {
        SetDefaults(config);
        return;
    }
    ReadFrom(in, config);
}

void CSettingsFile::ReadFrom(std::istream& in, Config& config) {
    SetDefaults(config);
    CLineReader reader(in);
    std::string line;
    std::vector<std::pair<std::string, std::string>> playlistLines;
    m_keptAtClose = false;
    while (reader.Next(line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals + 1 == line.size()) continue;
        std::string key(TrimSpace(std::string_view(line).substr(0, equals)));
        std::string value = line.substr(equals + 1);
        if (EqualsNoCase(key, "PlaylistFile") || EqualsNoCase(key, "TempPlaylist"))
            playlistLines.emplace_back(std::move(key), std::move(value));
        else if (EqualsNoCase(key, kKeptAtCloseKey))
            m_keptAtClose = AsFlag(value) != 0;
        else
            ApplyLine(key, value, config);
    }
    // A playlist names its games; they can only be found once every folder is
    // known and scanned, wherever the playlist line stands in the file.
    if (!playlistLines.empty() && !m_romList.IsScanned()) m_romList.ScanROMFolders();
    for (const auto& [key, value] : playlistLines)
        ApplyLine(key, value, config);
    ApplyLimits(config);
}

void CSettingsFile::ApplyLine(const std::string& key, const std::string& value, Config& config) {
    using IntField = int Config::*;
    static const std::array<std::pair<const char*, IntField>, 7> flags{{
        {"ShowBlanks", &Config::ShowBlanks},
        {"Normalize", &Config::Normalize},
        {"EnforceLoopTime", &Config::EnforceLoopTime},
        {"Shuffle", &Config::Shuffle},
        {"PlaylistMode", &Config::PlaylistMode},
        {"UseVUGradient", &Config::UseVUGradient},
        {"PlayKnownLength", &Config::PlayKnownLength},
    }};
    static const std::array<std::pair<const char*, IntField>, 8> numbers{{
        {"MaxLoopTime", &Config::MaxLoopTime},
        {"MaxWAVTime", &Config::MaxWAVTime},
        {"OnSilence", &Config::OnSilence},
        {"ROMFilter", &Config::ROMFilter},
        {"AutoMark", &Config::AutoMark},
        {"VUSegmentWidth", &Config::VUSegmentWidth},
        {"LoopCount", &Config::LoopCount},
        {"FadeSeconds", &Config::FadeSeconds},
    }};
    static const std::array<std::pair<const char*, RgbColor Config::*>, 3> colors{{
        {"VULeftColor", &Config::VULeftColor},
        {"VUMidColor", &Config::VUMidColor},
        {"VURightColor", &Config::VURightColor},
    }};

    if (EqualsNoCase(key, "ROMFolder")) {
        std::string folder = value;
        m_romList.AddFolder(folder);
        m_romList.ScanROMFolders();
        return;
    }
    if (EqualsNoCase(key, "PlaylistFile")) {
        config.Playlists.named = value;
        m_playlist.LoadFromFile(value, {.rememberName = true}, m_dialogs);
        return;
    }
    if (EqualsNoCase(key, "TempPlaylist")) {
        config.Playlists.temporary = value;
        m_playlist.LoadFromFile(value, {}, m_dialogs);
        if (!m_keptAtClose) m_dialogs.ShowMessage(kCrashRecoveredMessage, MessageIcon::Information);
        return;
    }
    if (EqualsNoCase(key, "RecordingFolder")) {
        config.LastRecording.folder = value;
        return;
    }
    if (EqualsNoCase(key, "RecordingFormat")) {
        const std::string format = ToLowerAscii(value);
        if (format == "wav" || format == "flac" || format == "ogg")
            config.LastRecording.format = format;
        return;
    }
    // A volume no one can read stays as it was rather than falling silent.
    if (EqualsNoCase(key, "Volume")) {
        if (value.find_first_of("0123456789") != std::string::npos)
            config.Output.volume = ParseInt(value);
        return;
    }
    if (EqualsNoCase(key, "OutputDevice")) {
        config.Output.device = value;
        return;
    }
    for (const auto& [name, field] : flags)
        if (EqualsNoCase(key, name)) config.*field = AsFlag(value);
    for (const auto& [name, field] : numbers)
        if (EqualsNoCase(key, name)) config.*field = ParseInt(value);
    for (const auto& [name, field] : colors)
        if (EqualsNoCase(key, name)) config.*field = ParseColor(value);
    for (const auto& [name, field] : kWindowSizes)
        if (EqualsNoCase(key, name)) config.*field = ParseWindowSize(value);
    if (EqualsNoCase(key, "GameBrowserColumns")) config.GameBrowserView.widths = ParseWidths(value);
    if (EqualsNoCase(key, "GameBrowserSort")) ParseSortOrder(value, config.GameBrowserView);
}

void CSettingsFile::ApplyLimits(Config& config) const {
    if (config.MaxLoopTime <= 0) config.MaxLoopTime = 300;
    if (config.MaxWAVTime <= 0) config.MaxWAVTime = 300;
    if (config.OnSilence < 0 || config.OnSilence > 3) config.OnSilence = 1;
    if (config.ROMFilter < 0 || config.ROMFilter > 1) config.ROMFilter = 1;
    if (config.VUSegmentWidth < 0 || config.VUSegmentWidth > 20) config.VUSegmentWidth = 5;
    if (config.LoopCount < 1 || config.LoopCount > kMostLoops) config.LoopCount = 2;
    if (config.FadeSeconds < 0 || config.FadeSeconds > kLongestFadeSeconds) config.FadeSeconds = 8;
    config.Output.volume = std::clamp(config.Output.volume, 0, 100);
    if (m_playlist.GetCount() == 0) config.PlaylistMode = 0;
}

bool CSettingsFile::Write(const Config& config, SettingsForm form) {
    const std::string path = Path();
    const bool saved =
        CSafeFileWriter::Save(path, [&](std::ostream& out) { WriteTo(out, config, form); });
    if (!saved)
        m_dialogs.ShowMessage("ERROR: Unable to write the settings file [" + path + "].",
                              MessageIcon::Error);
    return saved;
}

void CSettingsFile::WriteTo(std::ostream& out, const Config& config, SettingsForm form) const {
    out << "; Tarvo for Windows configuration file.\n\n"
        << "\n[General options]\n";
    m_romList.WriteFolderLines(out);
    out << "\nROMFilter=" << config.ROMFilter << '\n'
        << "ShowBlanks=" << config.ShowBlanks << '\n'
        << "Normalize=" << config.Normalize << '\n'
        << "EnforceLoopTime=" << config.EnforceLoopTime << '\n'
        << "MaxLoopTime=" << config.MaxLoopTime << '\n'
        << "MaxWAVTime=" << config.MaxWAVTime << '\n'
        << "OnSilence=" << config.OnSilence << '\n'
        << "AutoMark=" << config.AutoMark << '\n'
        << "UseVUGradient=" << config.UseVUGradient << '\n'
        << "VUSegmentWidth=" << config.VUSegmentWidth << '\n';
    WriteColor(out, "VULeftColor", config.VULeftColor);
    WriteColor(out, "VUMidColor", config.VUMidColor);
    WriteColor(out, "VURightColor", config.VURightColor);
    out << "Shuffle=" << config.Shuffle << '\n' << "PlaylistMode=" << config.PlaylistMode << '\n';
    if (m_playlist.GetCount() > 0) {
        if (form == SettingsForm::Exit)
            out << "PlaylistFile=" << m_playlist.fileName << '\n';
        else
            out << "TempPlaylist=" << TempPlaylistPath() << '\n';
        if (form == SettingsForm::KeptAtClose) out << kKeptAtCloseKey << "=1\n";
    }
    out << "PlayKnownLength=" << config.PlayKnownLength << '\n'
        << "LoopCount=" << config.LoopCount << '\n'
        << "FadeSeconds=" << config.FadeSeconds << '\n'
        << "Volume=" << config.Output.volume << '\n';
    // A name that breaks the line is not kept: it could not be read back.
    if (!config.Output.device.empty() && OneLine(config.Output.device) == config.Output.device)
        out << "OutputDevice=" << config.Output.device << '\n';
    // A folder whose name breaks the line is not kept: it could not be read back.
    if (!config.LastRecording.folder.empty() &&
        OneLine(config.LastRecording.folder) == config.LastRecording.folder)
        out << "RecordingFolder=" << config.LastRecording.folder << '\n';
    out << "RecordingFormat=" << config.LastRecording.format << '\n';
    for (const auto& [name, field] : kWindowSizes)
        WriteWindowSize(out, name, config.*field);
    WriteTableView(out, "GameBrowser", config.GameBrowserView);
}

} // namespace tarvo
