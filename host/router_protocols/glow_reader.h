#pragma once
// Glow, the tree that Ember+ sends in BER: the subset a consumer of a matrix needs. The reader
// turns one message's payload into the elements it holds, each with its number path: nodes,
// parameters (identifier and a string or integer value) and matrices (type, target and source
// counts, label locations and connections). Everything else in the tree is passed over.
//
// It trusts nothing: every length is checked against what holds it, the nesting is limited to
// kMaxDepth and the elements to kMaxElements, and a payload that breaks any of this gives no
// elements and the reason.
//
// The writer makes the few requests a consumer sends: the directory of the root or of a path,
// and one absolute connection of a matrix.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn_host::glow {

using bytes = std::vector<std::uint8_t>;
using number_path = std::vector<std::uint32_t>;

const unsigned kMaxDepth = 64;
const std::size_t kMaxElements = 65536;

enum class element_kind { node, parameter, matrix };

// What became of a connection, as the provider reports it.
enum class disposition { tally = 0, modified = 1, pending = 2, locked = 3 };

struct connection {
    std::uint32_t target = 0;
    std::vector<std::uint32_t> sources;
    std::optional<disposition> state;
};

struct label_location {
    number_path basePath;
    std::string description;
};

struct element {
    element_kind kind = element_kind::node;
    number_path path;
    std::string identifier;
    std::string description;
    // A parameter's value, when it is a string or an integer.
    std::optional<std::string> text;
    std::optional<long long> integer;
    // A matrix's.
    std::optional<int> matrixType;  // 0 one-to-N, 1 one-to-one, 2 N-to-N
    std::optional<std::uint32_t> targetCount, sourceCount;
    std::vector<label_location> labels;
    std::vector<connection> connections;
};

// The elements of one Glow payload, in the order they appear; null with the reason in `error`
// when the payload is not one this can read.
std::optional<std::vector<element>> readGlow(const bytes& payload, std::string& error);

// "0.1.2" as a number path; null when it is not numbers parted by dots.
std::optional<number_path> parsePath(const std::string& text);
std::string pathText(const number_path& path);

// Requests: the children of the root, or of the element at `path` (a node or a matrix), and
// `target` of the matrix at `path` connected to `source` alone.
bytes getDirectory();
bytes getDirectory(const number_path& path, element_kind kind);
bytes connectAbsolute(const number_path& matrix, std::uint32_t target, std::uint32_t source);

}  // namespace vorn_host::glow
