#include "settings/QtSettingsStore.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include "platform/LastError.h"
#include "platform/WinError.h"
#include "resources/Version.h"

namespace tessary {
namespace {

QString ToQt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString Key(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// A DWORD may be written either way: -1 and 4294967295 are the same value.
bool FitsDword(qlonglong number) {
    return number >= INT32_MIN && number <= static_cast<qlonglong>(UINT32_MAX);
}

}  // namespace

QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings)) {
#ifdef _WIN32
    m_numbersAsText = m_settings->format() == QSettings::IniFormat;
#else
    m_numbersAsText = true;
#endif
    m_settings->beginGroup(Key(kSettingsGroup));
}

QtSettingsStore::~QtSettingsStore() = default;

std::unique_ptr<QtSettingsStore> QtSettingsStore::OpenUser() {
    const res::VersionStrings& version = res::ProgramVersion();
    return std::unique_ptr<QtSettingsStore>(new QtSettingsStore(std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, ToQt(version.companyKey),
        ToQt(res::ProfileName(version.originalFilename)))));
}

std::unique_ptr<QtSettingsStore> QtSettingsStore::OpenIni(const PathString& path, uint32_t& error) {
    // QSettings takes a missing or unreadable file for an empty one; a file named on the
    // command line must be there.
    File file;
    if (!file.OpenRead(path)) {
        error = GetLastError();
        return nullptr;
    }
    file.Close();
    auto settings = std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat);
    switch (settings->status()) {
        case QSettings::NoError:
            break;
        case QSettings::AccessError:
            error = kErrorAccessDenied;
            return nullptr;
        case QSettings::FormatError:
            error = kErrorInvalidParameter;
            return nullptr;
    }
    error = kErrorSuccess;
    return std::unique_ptr<QtSettingsStore>(new QtSettingsStore(std::move(settings)));
}

bool QtSettingsStore::Sync() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

std::string QtSettingsStore::Location() const {
    return m_settings->fileName().toStdString();
}

bool QtSettingsStore::GetInt(std::string_view name, uint32_t& value) const {
    const QVariant stored = m_settings->value(Key(name));
    bool ok = false;
    qlonglong number = 0;
    switch (stored.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            number = stored.toLongLong(&ok);
            break;
        case QMetaType::QString:
            if (!m_numbersAsText) {
                return false;
            }
            // Decimal, in either sign convention.
            number = stored.toString().toLongLong(&ok, 10);
            break;
        default:
            return false;
    }
    if (!ok || !FitsDword(number)) {
        return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

bool QtSettingsStore::GetString(std::string_view name, std::u16string& value) const {
    const QVariant stored = m_settings->value(Key(name));
    if (stored.typeId() != QMetaType::QString) {
        return false;
    }
    const QString text = stored.toString();
    value.assign(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
    return true;
}

bool QtSettingsStore::SetInt(std::string_view name, uint32_t value) {
    // A signed 32-bit integer is what the registry keeps as a DWORD, and it keeps -1 (a colour
    // that stays) and negative window positions readable in an INI file.
    m_settings->setValue(Key(name), static_cast<qint32>(value));
    return m_settings->status() == QSettings::NoError;
}

bool QtSettingsStore::SetString(std::string_view name, std::u16string_view value) {
    m_settings->setValue(Key(name), ToQt(value));
    return m_settings->status() == QSettings::NoError;
}

}  // namespace tessary
