#include "pack/manifest.h"

#include <toml++/toml.h>

#include <set>

namespace tessel::pack {
namespace {

// A refusal of the manifest, thrown while it is read and caught at its top.
struct ManifestError {
    std::string text;
};

std::string LineOf(const toml::node& node) { return "line " + std::to_string(node.source().begin.line); }

std::string Where(const toml::node& node) { return LineOf(node) + ": "; }

// Unknown keys are refused, so that a misspelt one is not silently left out.
void OnlyKeys(const toml::table& table, const std::set<std::string_view>& known, const std::string& context) {
    for (const auto& [key, node] : table) {
        if (known.count(key.str()) == 0) {
            throw ManifestError{Where(node) + "unknown key \"" + std::string(key.str()) + "\"" + context};
        }
    }
}

const toml::node& Required(const toml::table& table, std::string_view key, const std::string& context) {
    const toml::node* node = table.get(key);
    if (node == nullptr) throw ManifestError{"\"" + std::string(key) + "\" is missing" + context};
    return *node;
}

std::string Text(const toml::node& node, std::string_view key) {
    const auto value = node.value<std::string>();
    if (!node.is_string() || !value) throw ManifestError{Where(node) + "\"" + std::string(key) + "\" takes a text"};
    return *value;
}

std::string RequiredText(const toml::table& table, std::string_view key, const std::string& context = "") {
    return Text(Required(table, key, context), key);
}

std::string OptionalText(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    return node == nullptr ? std::string() : Text(*node, key);
}

const toml::table& Table(const toml::node& node, std::string_view key) {
    const toml::table* table = node.as_table();
    if (table == nullptr) throw ManifestError{Where(node) + "\"" + std::string(key) + "\" takes a table"};
    return *table;
}

ManifestFirmware ReadFirmware(const toml::table& table) {
    const std::string context = " in [firmware]";
    OnlyKeys(table, {"image", "data", "version_script"}, context);
    return {RequiredText(table, "image", context), RequiredText(table, "data", context),
            RequiredText(table, "version_script", context)};
}

std::vector<ManifestWebFile> ReadWebFiles(const toml::node& node) {
    const toml::array* array = node.as_array();
    if (array == nullptr) throw ManifestError{Where(node) + "\"web\" takes an array of tables: [[web]]"};
    std::vector<ManifestWebFile> files;
    for (const toml::node& element : *array) {
        const toml::table& table = Table(element, "web");
        const std::string context = " in the [[web]] table of " + LineOf(element);
        OnlyKeys(table, {"source", "device_path", "plain_name", "scrambled_name"}, context);
        files.push_back({RequiredText(table, "source", context), RequiredText(table, "device_path", context),
                         OptionalText(table, "plain_name"), OptionalText(table, "scrambled_name")});
    }
    return files;
}

Manifest Read(const toml::table& root) {
    OnlyKeys(
        root,
        {"caption", "firmware_version", "script_version", "move", "key", "version_text", "spacer", "firmware", "web"},
        "");
    Manifest manifest;
    manifest.caption = RequiredText(root, "caption");
    manifest.firmwareVersion = RequiredText(root, "firmware_version");
    manifest.scriptVersion = RequiredText(root, "script_version");
    const toml::node& move = Required(root, "move", "");
    if (!move.is_boolean()) throw ManifestError{Where(move) + "\"move\" takes true or false"};
    manifest.move = *move.value<bool>();
    const toml::node& key = Required(root, "key", "");
    const auto number = key.value<std::int64_t>();
    if (!key.is_integer() || !number || *number < 0 || *number > 0xFF) {
        throw ManifestError{Where(key) + "\"key\" takes a number from 0 to 255 (0x00 to 0xFF)"};
    }
    manifest.key = static_cast<std::uint8_t>(*number);
    manifest.versionText = OptionalText(root, "version_text");
    manifest.spacerImage = OptionalText(root, "spacer");
    if (const toml::node* firmware = root.get("firmware"))
        manifest.firmware = ReadFirmware(Table(*firmware, "firmware"));
    if (const toml::node* web = root.get("web")) manifest.webFiles = ReadWebFiles(*web);
    return manifest;
}

}  // namespace

ParsedManifest ParseManifest(std::string_view text, const std::string& sourceName) {
    ParsedManifest result;
    try {
        const toml::table root = toml::parse(text, sourceName);
        result.manifest = Read(root);
    } catch (const toml::parse_error& error) {
        result.error = "line " + std::to_string(error.source().begin.line) + ": " + std::string(error.description());
    } catch (const ManifestError& error) {
        result.error = error.text;
    }
    return result;
}

}  // namespace tessel::pack
