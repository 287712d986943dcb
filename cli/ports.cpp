// Serial ports the system knows, with the USB maker and product where sysfs has them.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "cli.h"

namespace veltro::cli {

namespace fs = std::filesystem;

namespace {

std::string ReadLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  return line;
}

// Walks up from the tty's device to the USB device that carries the maker and product.
std::string UsbDescription(const std::string& tty_name) {
  std::error_code ec;
  fs::path dev = fs::canonical(fs::path("/sys/class/tty") / tty_name / "device", ec);
  if (ec) return {};
  for (fs::path p = dev; !p.empty() && p != p.root_path(); p = p.parent_path()) {
    if (!fs::exists(p / "idVendor", ec)) continue;
    std::string text;
    for (const char* f : {"manufacturer", "product"}) {
      std::string v = ReadLine(p / f);
      if (v.empty()) continue;
      if (!text.empty()) text += ' ';
      text += v;
    }
    std::string ids = ReadLine(p / "idVendor") + ":" + ReadLine(p / "idProduct");
    text += text.empty() ? ids : " [" + ids + "]";
    std::string serial = ReadLine(p / "serial");
    if (!serial.empty()) text += " serial " + serial;
    return text;
  }
  return {};
}

// Built-in UARTs are listed only when the kernel found one at that address.
bool UartPresent(const std::string& tty_name) {
  std::string type = ReadLine(fs::path("/sys/class/tty") / tty_name / "type");
  return type.empty() || type != "0";
}

}  // namespace

std::vector<PortInfo> ScanPorts() {
  std::vector<PortInfo> out;
  std::error_code ec;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator("/dev", ec)) {
    std::string name = entry.path().filename().string();
    for (const char* prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
      if (name.rfind(prefix, 0) == 0 && name.size() > std::string_view(prefix).size()) {
        names.push_back(name);
      }
    }
  }
  // ttyS2 before ttyS10.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
      std::size_t i = s.find_first_of("0123456789");
      return std::make_pair(s.substr(0, i), std::atoi(s.c_str() + i));
    };
    return split(a) < split(b);
  });
  for (const std::string& name : names) {
    if (name.rfind("ttyS", 0) == 0 && !UartPresent(name)) continue;
    out.push_back({"/dev/" + name, "", UsbDescription(name)});
  }
  std::vector<PortInfo> by_id;
  for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", ec)) {
    fs::path target = fs::canonical(entry.path(), ec);
    std::string t = ec ? std::string() : target.string();
    std::string desc = t.empty() ? std::string() : UsbDescription(target.filename().string());
    by_id.push_back({entry.path().string(), t, desc});
  }
  std::sort(by_id.begin(), by_id.end(),
            [](const PortInfo& a, const PortInfo& b) { return a.path < b.path; });
  out.insert(out.end(), by_id.begin(), by_id.end());
  return out;
}

}  // namespace veltro::cli
