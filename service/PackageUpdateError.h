#pragma once

#include <QString>

namespace Service::K27 {

// Why a package cannot be used, or why its update ended: the kind, for callers that act on it,
// and the user's text with the details of this case (translated, shown unchanged).
class PackageUpdateError
{
public:
    enum class Code {
        None,
        // The package is refused when it is opened; nothing is sent for it.
        Unreadable, // not a regular file, too large, or it cannot be read
        Incomplete, // the archive ends inside a file
        NoManifest, // no "version.json"
        InvalidManifest, // "version.json" is not a JSON object
        MissingImage, // the manifest names an image the archive does not hold
        NoImage, // no application image for either controller
        // An image fails its digest: when the package is opened, or when its transfer starts
        // (the file changed since).
        DigestMismatch,
        ImageRefused, // an image is empty, too large, or its plain length or fill is wrong
        // The update began and did not end.
        Stalled, // the device stopped asking for blocks
        BootloaderStayedAway, // the port did not come back after "JumpToBootloader"
        DeviceStayedAway, // the device did not come back after its platform update
        // A controller still runs its bootloader where its new software should run: its
        // transfer did not finish.
        StillInBootloader,
        // A controller runs its application but did not report the package's version, or did
        // not answer at all after its update.
        NotConfirmed,
        // Another transfer runs on the same update control service; nothing was started.
        Busy,
    };

    PackageUpdateError() = default;
    PackageUpdateError(Code code, const QString &text);

    Code code() const { return m_code; }
    const QString &text() const { return m_text; }
    bool isError() const { return m_code != Code::None; }

private:
    Code m_code = Code::None;
    QString m_text;
};

} // namespace Service::K27
