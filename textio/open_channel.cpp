// Opening a channel: the file name as given, taken from the command line or asked for, the old
// device names, the statuses and forms, and the three access attempts.
#include <cstdio>
#include <cstring>

#include "textio/channel_table.h"
#include "textio/channels.h"
#include "textio/termination.h"

namespace textio {
namespace {

int argumentsUsed = 0;

char upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

// A keyword matches from its first character on and may be followed by blanks only.
bool isKeyword(std::string_view given, std::string_view keyword) {
  while (!given.empty() && given.back() == ' ') given.remove_suffix(1);
  return equalsIgnoringCase(given, keyword);
}

// Only blanks are trimmed; tabs are part of a name.
std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view cutAndTrim(std::string_view text) {
  return trimBlanks(text.substr(0, std::min(text.size(), MAX_FILE_NAME)));
}

// Where a name is held while it is prepared; a channel keeps its own copy.
char nameStore[MAX_FILE_NAME + 2];

std::string_view storeName(std::string_view name) {
  std::memcpy(nameStore, name.data(), name.size());
  nameStore[name.size()] = '\0';
  return {nameStore, name.size()};
}

std::string_view askForName(UnitNumber unit) {
  char answer[261];
  for (;;) {
    char prompt[96];
    int length = std::snprintf(prompt, sizeof prompt,
                               "File name missing or blank - please enter file name\r\nUNIT %d? ",
                               static_cast<int>(unit));
    writeStandard(platform::StandardStream::OUTPUT, std::string_view(prompt, length));
    std::size_t got = readConsoleLine(answer, 260);
    std::string_view name = cutAndTrim(std::string_view(answer, got));
    if (!name.empty()) return storeName(name);
  }
}

// A blank name takes the next command-line argument not yet taken, and then asks.
std::string_view nameForBlank(UnitNumber unit) {
  if (argumentsUsed < platform::systemCalls.argumentCount()) {
    ++argumentsUsed;
    const char* argument = platform::systemCalls.argument(argumentsUsed);
    std::string_view name = cutAndTrim(argument == nullptr ? "" : argument);
    if (!name.empty()) return storeName(name);
    return askForName(unit);
  }
  endPendingLine();
  return askForName(unit);
}

enum class Device { NONE, CONSOLE, ERROR, OTHER };

struct DeviceName {
  std::string_view name;
  Device device;
  const char* opened;  // the platform's device for OTHER
};

constexpr DeviceName DEVICES[] = {
    {"CON", Device::CONSOLE, nullptr},  {"ERR", Device::ERROR, nullptr},
    {"USER", Device::CONSOLE, nullptr}, {"PRN", Device::OTHER, "PRN"},
    {"COM2", Device::OTHER, "COM2"},    {"COM3", Device::OTHER, "COM3"},
    {"COM4", Device::OTHER, "COM4"},    {"LPT1", Device::OTHER, "LPT1"},
    {"LPT2", Device::OTHER, "LPT2"},    {"LPT3", Device::OTHER, "LPT3"},
    {"LPT4", Device::OTHER, "LPT4"},    {"NUL", Device::OTHER, "NUL"},
    {"COM1", Device::OTHER, "COM1"},    {"AUX", Device::OTHER, "COM1"},
    {"LINE", Device::OTHER, "COM1"},
};

// The part before the last "." of a 3- or 4-character stem may name a device. A name with an
// extension that begins with E, L or U is a file: ERR.txt, LINE.dat, USER.spc.
const DeviceName* deviceOf(std::string_view name) {
  std::size_t dot = name.rfind('.');
  std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
  if (stem.size() != 3 && stem.size() != 4) return nullptr;
  for (const DeviceName& device : DEVICES) {
    if (!equalsIgnoringCase(stem, device.name)) continue;
    bool extension = dot != std::string_view::npos && dot + 1 < name.size();
    char first = upper(name[0]);
    if (extension && (first == 'E' || first == 'L' || first == 'U')) return nullptr;
    return &device;
  }
  return nullptr;
}

int openFailureNumber(platform::Failure failure) {
  switch (failure) {
    case platform::Failure::NOT_FOUND:
      return 6416;
    case platform::Failure::ACCESS_DENIED:
      return 6414;
    case platform::Failure::ALREADY_EXISTS:
      return 6415;
    case platform::Failure::TOO_MANY_OPEN_FILES:
      return 6417;
    default:
      return 6412;
  }
}

constexpr platform::Access ATTEMPTS[] = {platform::Access::READ_WRITE, platform::Access::READ_ONLY,
                                         platform::Access::WRITE_ONLY};

// Read and write, then read only, then write only: a read-only file still opens for reading.
platform::FileHandle openWithFallbacks(std::string_view name, const DeviceName* device,
                                       platform::Disposition disposition) {
  platform::OpenResult result{platform::INVALID_HANDLE, platform::Failure::OTHER};
  for (platform::Access access : ATTEMPTS) {
    result = device != nullptr ? platform::systemCalls.openDevice(device->opened, access)
                               : platform::systemCalls.openFile(nameStore, access, disposition);
    if (result.failure == platform::Failure::NONE) return result.handle;
  }
  reportIoError(openFailureNumber(result.failure), StatementWord::OPEN, name);
}

}  // namespace

void openChannel(UnitNumber unit, std::string_view name, std::string_view status,
                 std::string_view form) {
  std::string_view fileName = cutAndTrim(name);
  fileName = fileName.empty() ? nameForBlank(unit) : storeName(fileName);

  const DeviceName* device = deviceOf(fileName);
  if (device != nullptr) {
    std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) fileName = storeName(fileName.substr(0, dot));
  }

  // A unit is opened again only after it was closed; should it still be open, it is closed now.
  closeChannel(unit);
  Channel* channel = freeChannel();
  if (channel == nullptr) reportIoError(6417, StatementWord::OPEN, fileName);

  bool create = false;
  if (device == nullptr && isKeyword(status, "UNKNOWN"))
    create = !platform::systemCalls.fileExists(nameStore);

  platform::FileHandle handle;
  bool standardHandle = false;
  if (device != nullptr && device->device == Device::CONSOLE) {
    handle = platform::systemCalls.standardHandle(platform::StandardStream::OUTPUT);
    standardHandle = true;
  } else if (device != nullptr && device->device == Device::ERROR) {
    handle = platform::systemCalls.standardHandle(platform::StandardStream::ERROR);
    standardHandle = true;
  } else {
    handle = openWithFallbacks(
        fileName, device,
        create ? platform::Disposition::CREATE_NEW : platform::Disposition::OPEN_EXISTING);
  }

  channel->open = true;
  channel->unit = unit;
  std::memcpy(channel->fileName, fileName.data(), fileName.size());
  channel->fileNameLength = fileName.size();
  channel->form = isKeyword(form, "BINARY") ? ChannelForm::BINARY : ChannelForm::FORMATTED;
  channel->kind = (device != nullptr && channel->form == ChannelForm::FORMATTED)
                      ? ChannelKind::DEVICE
                      : ChannelKind::FILE;
  channel->handle = handle;
  channel->standardHandle = standardHandle;
  // A new file has nothing to cut; an existing one is cut by its first record.
  channel->writing = create || device != nullptr;
}

void resetArgumentsForTesting() {
  argumentsUsed = 0;
}

}  // namespace textio
