#include "replace/review_names.h"

#include "lib/datetime.h"
#include "lib/text.h"

namespace vesk {

std::string ReviewNames::temp() const {
    return folder + base + std::string(kReplaceFileMark) + stamp + "-temp" + ext;
}

std::string ReviewNames::backup(int n) const {
    std::string name = folder + base + std::string(kReplaceFileMark) + stamp;
    if (n > 0) name += "-" + std::to_string(n + 1);
    return name + "-bak" + ext;
}

ReviewNames MakeTempAndBackupNames(std::string_view fileName, const Clock& clock) {
    ReviewNames names;
    names.folder = std::string(fileFolder(fileName));
    const std::string_view name = fileName.substr(names.folder.size());
    const std::size_t dot = name.rfind('.');
    names.base = trim(dot == std::string_view::npos ? name : name.substr(0, dot));
    names.ext = dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
    names.stamp = formatNow(clock, kFormatLongStamp);
    return names;
}

} // namespace vesk
