#include "report.hpp"

#include <cstdio>

namespace bench {
namespace {

template <typename... Values>
std::string format(const char* pattern, Values... values) {
    const int size = std::snprintf(nullptr, 0, pattern, values...);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, values...);
    return text;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            quoted += format("\\u%04x", static_cast<unsigned>(c));
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

std::string jsonSpread(const Spread& spread) {
    return format("{\"median\": %.1f, \"p10\": %.1f, \"p90\": %.1f}", spread.median, spread.p10,
                  spread.p90);
}

}  // namespace

std::string formatTable(const Setting& setting, const Figures& figures) {
    std::string text;
    const int runs = figures.levels.empty() ? 0 : figures.levels.front().runs;
    text += format("%s against the floor, %d runs of each, interleaved\n", setting.command.c_str(),
                   runs);
    text += format("host: %s\nguest: %s\nLANG=%s\n\n", setting.host.c_str(), setting.guest.c_str(),
                   setting.locale.c_str());
    text +=
        "decoys | floor median | tool median | tool/floor | floor p10-p90 | tool p10-p90"
        " | page faults floor/tool\n";
    text +=
        "-------|--------------|-------------|------------|---------------|--------------"
        "-|------------------------\n";
    for (const LevelFigures& level : figures.levels) {
        text += format(
            "%6d | %9.0f us | %8.0f us | %10.3f | %5.0f-%5.0f us | %5.0f-%5.0f us | %10.0f / "
            "%.0f\n",
            level.decoys, level.floor.median, level.tool.median, level.ratio, level.floor.p10,
            level.floor.p90, level.tool.p10, level.tool.p90, level.floorFaults, level.toolFaults);
    }
    const Scaling& s = figures.scaling;
    text += format(
        "\n%d -> %d decoys: tool %+.0f us (%+.1f %%), floor %+.0f us (%+.1f %%), "
        "net %+.0f us (%+.1f %% of the one-board run)\n",
        s.fromDecoys, s.toDecoys, s.toolAddedUs, s.toolAddedPercent, s.floorAddedUs,
        s.floorAddedPercent, s.netAddedUs, s.netAddedPercent);
    text += format("per extra HID device: tool %+.2f us, net of the floor %+.2f us\n",
                   s.toolPerDeviceUs, s.netPerDeviceUs);
    text += format("peak resident memory of one run: tool %ld KiB, floor %ld KiB\n",
                   figures.toolPeakKiB, figures.floorPeakKiB);
    text += format("release binary: %llu bytes (floor %llu bytes)\n",
                   static_cast<unsigned long long>(figures.toolBytes),
                   static_cast<unsigned long long>(figures.floorBytes));
    const double ratio = figures.levels.empty() ? 0 : figures.levels.front().ratio;
    text += format("\ntarget: tool/floor %.3f <= %.2f: %s\n", ratio, figures.limits.ratio,
                   verdict(figures.ratioMet));
    text += format("target: %d decoys add %+.1f %% net <= %.0f %%: %s\n", s.toDecoys,
                   s.netAddedPercent, figures.limits.netAddedPercent, verdict(figures.scalingMet));
    text += format("target: peak %ld KiB <= %ld KiB: %s\n", figures.toolPeakKiB,
                   figures.limits.peakKiB, verdict(figures.peakMet));
    return text;
}

std::string formatJson(const Setting& setting, const Figures& figures) {
    std::string text = "{\n";
    text += "  \"command\": " + jsonString(setting.command) + ",\n";
    text += "  \"host\": " + jsonString(setting.host) + ",\n";
    text += "  \"guest\": " + jsonString(setting.guest) + ",\n";
    text += "  \"lang\": " + jsonString(setting.locale) + ",\n";
    text += "  \"levels\": [\n";
    for (std::size_t i = 0; i < figures.levels.size(); ++i) {
        const LevelFigures& level = figures.levels[i];
        text += format(
            "    {\"decoys\": %d, \"runs\": %d, \"floor_us\": %s, \"tool_us\": %s, "
            "\"ratio\": %.4f, \"floor_page_faults\": %.0f, \"tool_page_faults\": %.0f}%s\n",
            level.decoys, level.runs, jsonSpread(level.floor).c_str(),
            jsonSpread(level.tool).c_str(), level.ratio, level.floorFaults, level.toolFaults,
            i + 1 < figures.levels.size() ? "," : "");
    }
    text += "  ],\n";
    const Scaling& s = figures.scaling;
    text += format(
        "  \"scaling\": {\"from_decoys\": %d, \"to_decoys\": %d, \"tool_added_us\": %.1f, "
        "\"floor_added_us\": %.1f, \"net_added_us\": %.1f, \"tool_per_device_us\": %.2f, "
        "\"net_per_device_us\": %.2f, \"tool_added_percent\": %.2f, "
        "\"floor_added_percent\": %.2f, \"net_added_percent\": %.2f},\n",
        s.fromDecoys, s.toDecoys, s.toolAddedUs, s.floorAddedUs, s.netAddedUs, s.toolPerDeviceUs,
        s.netPerDeviceUs, s.toolAddedPercent, s.floorAddedPercent, s.netAddedPercent);
    text += format("  \"peak_rss_kib\": {\"tool\": %ld, \"floor\": %ld},\n", figures.toolPeakKiB,
                   figures.floorPeakKiB);
    text += format("  \"binary_bytes\": {\"tool\": %llu, \"floor\": %llu},\n",
                   static_cast<unsigned long long>(figures.toolBytes),
                   static_cast<unsigned long long>(figures.floorBytes));
    const double ratio = figures.levels.empty() ? 0 : figures.levels.front().ratio;
    text += format(
        "  \"targets\": {\"ratio\": {\"value\": %.4f, \"limit\": %.2f, \"met\": %s}, "
        "\"net_added_percent\": {\"value\": %.2f, \"limit\": %.1f, \"met\": %s}, "
        "\"peak_rss_kib\": {\"value\": %ld, \"limit\": %ld, \"met\": %s}}\n",
        ratio, figures.limits.ratio, figures.ratioMet ? "true" : "false", s.netAddedPercent,
        figures.limits.netAddedPercent, figures.scalingMet ? "true" : "false", figures.toolPeakKiB,
        figures.limits.peakKiB, figures.peakMet ? "true" : "false");
    text += "}\n";
    return text;
}

std::string formatSamplesCsv(const std::vector<LevelSamples>& levels) {
    std::string text = "decoys,program,run,us\n";
    for (const LevelSamples& level : levels) {
        for (std::size_t i = 0; i < level.floorUs.size(); ++i) {
            text += format("%d,floor,%zu,%.1f\n", level.decoys, i, level.floorUs[i]);
        }
        for (std::size_t i = 0; i < level.toolUs.size(); ++i) {
            text += format("%d,tool,%zu,%.1f\n", level.decoys, i, level.toolUs[i]);
        }
    }
    return text;
}

}  // namespace bench
