#pragma once
// The registry of the device as far as the program can see it: keys under
// HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT holding DWORD,
// string and binary values, kept in one text file in a REGEDIT4-like layout:
//
//   [HKEY_CURRENT_USER\Software\Orvantis\Travenor Pro\Settings]
//   "expert mode"=dword:00000001
//   "Path"="\\Program Files\\Travenor Pro\\Travenor Pro.exe"
//   "Data"=hex:01,02
//   @="the key's default value"
//
// Strings escape \\ and \" (and control characters as \n, \r, \t, \xHH).
// Key and value names compare without regard to case and keep the case they
// were created with. Every change is written through at once, replacing the
// file through a temporary file. One lock guards everything.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace platform {

enum class RegRoot { HKLM, HKCU, HKCR };

// The value types, numbered as on the device.
enum class RegType : uint32_t { String = 1, Binary = 3, DWord = 4 };

enum class RegResult {
    Ok,
    NotFound, // no such key, value or subkey index
    WrongType, // the value exists with another type
    IoError, // the file could not be read or written; nothing changed
    Damaged, // the file had lines that did not parse (loading only)
    InvalidArgument, // an empty value of a key path where one is needed
};

const char* ToString(RegResult result);

struct RegValue {
    RegType type = RegType::DWord;
    uint32_t dword = 0;
    QString string;
    QByteArray binary;

    static RegValue DWord(uint32_t v) { return { RegType::DWord, v, {}, {} }; }
    static RegValue String(const QString& v) { return { RegType::String, 0, v, {} }; }
    static RegValue Binary(const QByteArray& v) { return { RegType::Binary, 0, {}, v }; }
    bool operator==(const RegValue& other) const;
};

class Registry;

// An open key. It names the key rather than holding it: a key deleted after
// it was opened answers NotFound. Valid while its registry lives.
class RegKey {
public:
    RegKey() = default;
    bool IsOpen() const { return m_registry != nullptr; }
    RegRoot Root() const { return m_root; }
    const QString& Path() const { return m_path; }

    RegResult QueryValue(const QString& name, RegValue* value) const;
    RegResult QueryDword(const QString& name, uint32_t* value) const;
    RegResult QueryString(const QString& name, QString* value) const;
    RegResult QueryBinary(const QString& name, QByteArray* value) const;

    RegResult SetValue(const QString& name, const RegValue& value) const;
    RegResult SetDword(const QString& name, uint32_t value) const
    {
        return SetValue(name, RegValue::DWord(value));
    }
    RegResult SetString(const QString& name, const QString& value) const
    {
        return SetValue(name, RegValue::String(value));
    }
    RegResult SetBinary(const QString& name, const QByteArray& value) const
    {
        return SetValue(name, RegValue::Binary(value));
    }

    RegResult DeleteValue(const QString& name) const;
    // The name of the index-th direct subkey; NotFound past the last.
    RegResult EnumKey(int index, QString* name) const;

private:
    friend class Registry;
    Registry* m_registry = nullptr;
    RegRoot m_root = RegRoot::HKCU;
    QString m_path; // components joined by backslashes, no leading one
};

class Registry {
public:
    // Loads `file` (a missing file is an empty registry; see LoadResult).
    explicit Registry(const QString& file);
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Replaces the contents with those of `file`. A file with lines that do
    // not parse is kept aside as "<file>.damaged" (never replacing an earlier
    // copy), what did parse is written back and used, and Damaged is
    // returned. A file that cannot be read gives IoError and is never
    // overwritten: changes then fail with IoError.
    RegResult Load(const QString& file);
    RegResult LoadResult() const;
    // What last went wrong, naming the file (and the line of damage).
    QString LastError() const;
    QString FilePath() const;

    // Paths are backslash-separated; a leading backslash is ignored.
    // Open fails with NotFound for a missing key; Create makes the key and
    // its parents as needed.
    RegResult Open(RegRoot root, const QString& path, RegKey* key);
    RegResult Create(RegRoot root, const QString& path, RegKey* key = nullptr);
    // Deletes the key with all its subkeys and values.
    RegResult DeleteKey(RegRoot root, const QString& path);

private:
    friend class RegKey;
    struct Entry {
        QString name;
        RegValue value;
    };
    struct Key {
        QString path; // the root's file name and the components, as created
        std::vector<Entry> values;
    };
    using Keys = std::map<QString, Key>; // by case-folded path

    RegResult QueryValue(const RegKey& key, const QString& name, RegValue* value);
    RegResult SetValue(const RegKey& key, const QString& name, const RegValue& value);
    RegResult DeleteValue(const RegKey& key, const QString& name);
    RegResult EnumKey(const RegKey& key, int index, QString* name);

    // Runs `change` on the keys; when it reports a change the file is
    // rewritten, and a failed write puts the keys back as they were.
    template <typename Change> RegResult Modify(Change change);
    bool Persist(const Keys& keys);
    QByteArray Serialize(const Keys& keys) const;
    RegResult SetAside(const QByteArray& contents);

    mutable std::mutex m_mutex;
    QString m_file;
    Keys m_keys;
    RegResult m_loadResult = RegResult::Ok;
    bool m_readOnly = false;
    QString m_lastError;
};

// The file the program's registry lives in by default:
// $XDG_CONFIG_HOME/Orvantis/Travenor Pro.ini (~/.config when unset).
QString DefaultRegistryFile();

// The program's registry, over options().configFile or the default file; it
// loads that file anew when the option names another one.
Registry& registry();

} // namespace platform
