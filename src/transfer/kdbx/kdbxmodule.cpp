#include "transfer/kdbx/kdbxfile.h"
#include "transfer/kdbx/kdbxformat.h"

#include <type_traits>

// The KeePass module: the format's code behind KdbxFormat, loaded by the program the first time a job needs it.

namespace {

class ModuleFormat final : public KdbxFormat
{
public:
    QByteArray write(const QList<KdbxEntry>& entries, const QByteArray& password, const KdbxCost& cost,
                     const QDateTime& now) const override
    {
        return KdbxFile::write(entries, password, KdbxKdf::argon2id(cost), now);
    }
    KdbxRead::Status openable(const QByteArray& file) const override { return KdbxFile::openable(file); }
    KdbxRead read(const QByteArray& file, const QByteArray& password) const override
    {
        return KdbxFile::read(file, password);
    }
    KdbxCost calibratedArgon2id(int milliseconds) const override { return KdbxKdf::calibratedArgon2id(milliseconds); }
};

const ModuleFormat format;
const KdbxModuleEntry entry{KdbxFormat::interfaceVersion, &format};

} // namespace

extern "C" Q_DECL_EXPORT const KdbxModuleEntry* keyhound_kdbx_module()
{
    return &entry;
}
static_assert(std::is_same_v<decltype(&keyhound_kdbx_module), KdbxModuleEntryFunction>);
