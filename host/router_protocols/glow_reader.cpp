#include "glow_reader.h"

#include <array>
#include <cstdlib>

namespace vorn_host::glow {

namespace {

enum tag_class : std::uint8_t { universal = 0, application = 1, context = 2 };

// The universal types Glow uses.
const std::uint32_t kInteger = 2;
const std::uint32_t kUtf8String = 12;
const std::uint32_t kRelativeOid = 13;
const std::uint32_t kSequence = 16;
const std::uint32_t kSet = 17;

// Glow's application types.
const std::uint32_t kRoot = 0;
const std::uint32_t kParameter = 1;
const std::uint32_t kCommand = 2;
const std::uint32_t kNode = 3;
const std::uint32_t kElementCollection = 4;
const std::uint32_t kQualifiedParameter = 9;
const std::uint32_t kQualifiedNode = 10;
const std::uint32_t kRootElementCollection = 11;
const std::uint32_t kMatrix = 13;
const std::uint32_t kConnection = 16;
const std::uint32_t kQualifiedMatrix = 17;
const std::uint32_t kLabel = 18;

// Fields by their context numbers.
const unsigned kFieldNumberOrPath = 0;
const unsigned kFieldContents = 1;
const unsigned kFieldChildren = 2;
const unsigned kFieldConnections = 5;
const unsigned kContentIdentifier = 0;
const unsigned kContentDescription = 1;
const unsigned kContentValue = 2;
const unsigned kMatrixType = 2;
const unsigned kMatrixTargetCount = 4;
const unsigned kMatrixSourceCount = 5;
const unsigned kMatrixLabels = 10;
const unsigned kConnectionTarget = 0;
const unsigned kConnectionSources = 1;
const unsigned kConnectionOperation = 2;
const unsigned kConnectionDisposition = 3;
const unsigned kLabelBasePath = 0;
const unsigned kLabelDescription = 1;

const std::int32_t kGetDirectory = 32;
const std::int32_t kOperationAbsolute = 0;
const unsigned kMaxFields = 16;

// One BER value: its tag, and where its contents lie.
struct tlv {
    tag_class cls = universal;
    bool constructed = false;
    std::uint32_t number = 0;
    const std::uint8_t* contents = nullptr;
    std::size_t length = 0;
    unsigned depth = 0;
};

class reader {
public:
    explicit reader(std::string& error) : m_error(error) {}

    // The value at the start of [at, at + size), and how many bytes it takes.
    bool read(const std::uint8_t* at, std::size_t size, unsigned depth, tlv& out, std::size_t& used) {
        if (depth > kMaxDepth) return fail("nested deeper than " + std::to_string(kMaxDepth));
        std::size_t i = 0;
        if (size < 2) return fail("a value cut short");
        const std::uint8_t first = at[i++];
        out.cls = static_cast<tag_class>(first >> 6);
        out.constructed = (first & 0x20) != 0;
        out.number = first & 0x1F;
        out.depth = depth;
        if (out.number == 0x1F) {
            out.number = 0;
            for (int n = 0;; ++n) {
                if (i >= size || n == 4) return fail("a tag number too long");
                const std::uint8_t b = at[i++];
                out.number = (out.number << 7) | (b & 0x7F);
                if (!(b & 0x80)) break;
            }
        }
        if (i >= size) return fail("a value cut short");
        const std::uint8_t lengthByte = at[i++];
        if (lengthByte == 0x80) {
            if (!out.constructed) return fail("an indefinite length on a simple value");
            return readIndefinite(at, size, i, out, used);
        }
        std::size_t length = lengthByte;
        if (lengthByte > 0x80) {
            const unsigned count = lengthByte & 0x7F;
            if (count > 4) return fail("a length of more than four bytes");
            length = 0;
            for (unsigned n = 0; n < count; ++n) {
                if (i >= size) return fail("a length cut short");
                length = (length << 8) | at[i++];
            }
        }
        if (length > size - i) return fail("a length beyond what holds it");
        out.contents = at + i;
        out.length = length;
        used = i + length;
        return true;
    }

    // The values inside a constructed one.
    bool children(const tlv& parent, std::vector<tlv>& out) {
        out.clear();
        if (!parent.constructed) return fail("a simple value where a constructed one belongs");
        for (std::size_t at = 0; at < parent.length;) {
            tlv child;
            std::size_t used = 0;
            if (!read(parent.contents + at, parent.length - at, parent.depth + 1, child, used)) return false;
            out.push_back(child);
            at += used;
        }
        return true;
    }

    // An application type's fields, each [n] holding one value. Glow tags its types implicitly
    // (the application tag stands for the SEQUENCE or SET); a SEQUENCE or SET inside one, as an
    // explicit tagging would write it, is read through.
    bool fields(const tlv& value, std::array<std::optional<tlv>, kMaxFields>& out) {
        out.fill(std::nullopt);
        std::vector<tlv> tagged;
        if (!inside(value, tagged)) return false;
        for (const tlv& field : tagged) {
            if (field.cls != context || field.number >= kMaxFields) continue;
            std::vector<tlv> one;
            if (!children(field, one)) return false;
            if (one.size() != 1) return fail("a field that holds not one value");
            out[field.number] = one[0];
        }
        return true;
    }

    // The [0] items of a collection: a SEQUENCE OF, or an application type standing for one.
    bool items(const tlv& collection, std::vector<tlv>& out) {
        out.clear();
        if (collection.cls == universal && collection.number != kSequence) {
            return fail("a collection that is no SEQUENCE");
        }
        std::vector<tlv> listed;
        if (!inside(collection, listed)) return false;
        for (const tlv& item : listed) {
            std::vector<tlv> one;
            if (item.cls != context) return fail("a collection item without its [0]");
            if (!children(item, one)) return false;
            if (one.size() != 1) return fail("a collection item that holds not one value");
            out.push_back(one[0]);
        }
        return true;
    }

    // What an application type holds, a SEQUENCE or SET inside it read through.
    bool inside(const tlv& value, std::vector<tlv>& out) {
        if (!children(value, out)) return false;
        if (value.cls == application && out.size() == 1 && out[0].cls == universal &&
            (out[0].number == kSequence || out[0].number == kSet)) {
            const tlv wrapped = out[0];
            return children(wrapped, out);
        }
        return true;
    }

    std::optional<long long> integer(const std::optional<tlv>& value) {
        if (!value || value->cls != universal || value->number != kInteger || value->length == 0 || value->length > 8) {
            return std::nullopt;
        }
        // Two's complement, read as bits: shifting a negative number would be undefined.
        std::uint64_t bits = (value->contents[0] & 0x80) ? ~std::uint64_t{0} : 0;
        for (std::size_t i = 0; i < value->length; ++i) bits = (bits << 8) | value->contents[i];
        return static_cast<long long>(bits);
    }

    std::optional<std::string> text(const std::optional<tlv>& value) {
        if (!value || value->cls != universal || value->number != kUtf8String) return std::nullopt;
        return std::string(reinterpret_cast<const char*>(value->contents), value->length);
    }

    std::optional<number_path> relativeOid(const std::optional<tlv>& value) {
        if (!value || value->cls != universal || value->number != kRelativeOid) return std::nullopt;
        number_path path;
        std::uint64_t number = 0;
        for (std::size_t i = 0; i < value->length; ++i) {
            number = (number << 7) | (value->contents[i] & 0x7F);
            if (number > UINT32_MAX) return std::nullopt;
            if (value->contents[i] & 0x80) continue;
            path.push_back(static_cast<std::uint32_t>(number));
            number = 0;
        }
        if (value->length && (value->contents[value->length - 1] & 0x80)) return std::nullopt;
        return path;
    }

    bool fail(const std::string& why) {
        if (m_error.empty()) m_error = why;
        return false;
    }

private:
    bool readIndefinite(const std::uint8_t* at, std::size_t size, std::size_t start, tlv& out, std::size_t& used) {
        for (std::size_t i = start;;) {
            if (size - i >= 2 && at[i] == 0 && at[i + 1] == 0) {
                out.contents = at + start;
                out.length = i - start;
                used = i + 2;
                return true;
            }
            if (i >= size) return fail("an indefinite length without its end");
            tlv child;
            std::size_t childUsed = 0;
            if (!read(at + i, size - i, out.depth + 1, child, childUsed)) return false;
            i += childUsed;
        }
    }

    std::string& m_error;
};

class tree_walker {
public:
    tree_walker(reader& r, std::vector<element>& out) : m_reader(r), m_out(out) {}

    bool root(const tlv& value) {
        if (value.cls != application || value.number != kRoot) return m_reader.fail("no Glow root");
        std::vector<tlv> inside;
        if (!m_reader.children(value, inside)) return false;
        for (const tlv& choice : inside) {
            if (choice.cls != application || choice.number != kRootElementCollection) continue;  // streams, results
            std::vector<tlv> elements;
            if (!m_reader.items(choice, elements)) return false;
            for (const tlv& e : elements) {
                if (!walk(e, {})) return false;
            }
        }
        return true;
    }

private:
    bool walk(const tlv& value, const number_path& parent) {
        if (value.cls != application) return m_reader.fail("an element that is no Glow type");
        const std::uint32_t type = value.number;
        if (type == kCommand) return true;
        const bool qualified = type == kQualifiedNode || type == kQualifiedParameter || type == kQualifiedMatrix;
        const bool known = qualified || type == kNode || type == kParameter || type == kMatrix;
        if (!known) return true;  // functions, templates: not what a consumer of a matrix reads
        if (m_out.size() >= kMaxElements)
            return m_reader.fail("more than " + std::to_string(kMaxElements) + " elements");
        std::array<std::optional<tlv>, kMaxFields> f;
        if (!m_reader.fields(value, f)) return false;
        element e;
        e.kind = (type == kNode || type == kQualifiedNode)             ? element_kind::node
                 : (type == kParameter || type == kQualifiedParameter) ? element_kind::parameter
                                                                       : element_kind::matrix;
        if (qualified) {
            const auto path = m_reader.relativeOid(f[kFieldNumberOrPath]);
            if (!path || path->empty()) return m_reader.fail("a qualified element without its path");
            e.path = *path;
        } else {
            const auto number = m_reader.integer(f[kFieldNumberOrPath]);
            if (!number || *number < 0 || *number > UINT32_MAX) return m_reader.fail("an element without its number");
            e.path = parent;
            e.path.push_back(static_cast<std::uint32_t>(*number));
        }
        if (f[kFieldContents] && !contents(*f[kFieldContents], e)) return false;
        if (e.kind == element_kind::matrix && f[kFieldConnections] && !connections(*f[kFieldConnections], e)) {
            return false;
        }
        const number_path path = e.path;
        m_out.push_back(std::move(e));
        if (!f[kFieldChildren]) return true;
        std::vector<tlv> children;
        if (!m_reader.items(*f[kFieldChildren], children)) return false;
        for (const tlv& child : children) {
            if (!walk(child, path)) return false;
        }
        return true;
    }

    bool contents(const tlv& value, element& e) {
        // Contents are a SET of [n] fields, not inside an application tag.
        if (value.cls != universal || value.number != kSet) return m_reader.fail("contents that are no SET");
        std::array<std::optional<tlv>, kMaxFields> f;
        std::vector<tlv> tagged;
        if (!m_reader.children(value, tagged)) return false;
        for (const tlv& field : tagged) {
            if (field.cls != context || field.number >= kMaxFields) continue;
            std::vector<tlv> one;
            if (!m_reader.children(field, one)) return false;
            if (one.size() != 1) return m_reader.fail("a field that holds not one value");
            f[field.number] = one[0];
        }
        e.identifier = m_reader.text(f[kContentIdentifier]).value_or("");
        e.description = m_reader.text(f[kContentDescription]).value_or("");
        if (e.kind == element_kind::parameter) {
            e.text = m_reader.text(f[kContentValue]);
            e.integer = m_reader.integer(f[kContentValue]);
            return true;
        }
        if (e.kind != element_kind::matrix) return true;
        if (const auto type = m_reader.integer(f[kMatrixType])) e.matrixType = static_cast<int>(*type);
        if (const auto count = m_reader.integer(f[kMatrixTargetCount]); count && *count >= 0 && *count <= UINT32_MAX) {
            e.targetCount = static_cast<std::uint32_t>(*count);
        }
        if (const auto count = m_reader.integer(f[kMatrixSourceCount]); count && *count >= 0 && *count <= UINT32_MAX) {
            e.sourceCount = static_cast<std::uint32_t>(*count);
        }
        return !f[kMatrixLabels] || labels(*f[kMatrixLabels], e);
    }

    bool labels(const tlv& value, element& e) {
        std::vector<tlv> items;
        if (!m_reader.items(value, items)) return false;
        for (const tlv& item : items) {
            if (item.cls != application || item.number != kLabel) continue;
            std::array<std::optional<tlv>, kMaxFields> f;
            if (!m_reader.fields(item, f)) return false;
            const auto path = m_reader.relativeOid(f[kLabelBasePath]);
            if (!path) return m_reader.fail("a label without its base path");
            e.labels.push_back({*path, m_reader.text(f[kLabelDescription]).value_or("")});
        }
        return true;
    }

    bool connections(const tlv& value, element& e) {
        std::vector<tlv> items;
        if (!m_reader.items(value, items)) return false;
        for (const tlv& item : items) {
            if (item.cls != application || item.number != kConnection) continue;
            std::array<std::optional<tlv>, kMaxFields> f;
            if (!m_reader.fields(item, f)) return false;
            const auto target = m_reader.integer(f[kConnectionTarget]);
            if (!target || *target < 0 || *target > UINT32_MAX) return m_reader.fail("a connection without its target");
            connection c;
            c.target = static_cast<std::uint32_t>(*target);
            if (f[kConnectionSources]) {
                const auto sources = m_reader.relativeOid(f[kConnectionSources]);
                if (!sources) return m_reader.fail("a connection's sources that are no numbers");
                c.sources = *sources;
            }
            if (const auto state = m_reader.integer(f[kConnectionDisposition]); state && *state >= 0 && *state <= 3) {
                c.state = static_cast<disposition>(*state);
            }
            e.connections.push_back(std::move(c));
        }
        return true;
    }

    reader& m_reader;
    std::vector<element>& m_out;
};

// The writer's side: definite lengths, the shortest forms.
bytes tagged(std::uint8_t tag, const bytes& contents) {
    bytes out{tag};
    const std::size_t n = contents.size();
    if (n < 0x80) {
        out.push_back(static_cast<std::uint8_t>(n));
    } else {
        bytes length;
        for (std::size_t v = n; v; v >>= 8) length.insert(length.begin(), static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>(0x80 | length.size()));
        out.insert(out.end(), length.begin(), length.end());
    }
    out.insert(out.end(), contents.begin(), contents.end());
    return out;
}

bytes joined(std::initializer_list<bytes> parts) {
    bytes out;
    for (const bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::uint8_t applicationTag(std::uint32_t number) {
    return static_cast<std::uint8_t>(0x60 | number);
}
std::uint8_t contextTag(unsigned number) {
    return static_cast<std::uint8_t>(0xA0 | number);
}

bytes integerValue(std::int64_t value) {
    bytes contents;
    do {
        contents.insert(contents.begin(), static_cast<std::uint8_t>(value & 0xFF));
        value >>= 8;
    } while (!((value == 0 && !(contents.front() & 0x80)) || (value == -1 && (contents.front() & 0x80))));
    return tagged(static_cast<std::uint8_t>(kInteger), contents);
}

bytes relativeOidValue(const number_path& path) {
    bytes contents;
    for (std::uint32_t number : path) {
        bytes digits{static_cast<std::uint8_t>(number & 0x7F)};
        for (number >>= 7; number; number >>= 7) {
            digits.insert(digits.begin(), static_cast<std::uint8_t>(0x80 | (number & 0x7F)));
        }
        contents.insert(contents.end(), digits.begin(), digits.end());
    }
    return tagged(static_cast<std::uint8_t>(kRelativeOid), contents);
}

bytes field(unsigned number, const bytes& value) {
    return tagged(contextTag(number), value);
}

// An application type: its tag stands for the SEQUENCE of its fields.
bytes glowType(std::uint32_t type, const bytes& fields) {
    return tagged(applicationTag(type), fields);
}

// A SEQUENCE OF one [0] item, or the application type that stands for one.
bytes collection(std::optional<std::uint32_t> type, const bytes& item) {
    return tagged(type ? applicationTag(*type) : 0x30, field(0, item));
}

bytes rootHolding(const bytes& element) {
    return tagged(applicationTag(kRoot), collection(kRootElementCollection, element));
}

bytes getDirectoryCommand() {
    return glowType(kCommand, field(0, integerValue(kGetDirectory)));
}

}  // namespace

std::optional<std::vector<element>> readGlow(const bytes& payload, std::string& error) {
    error.clear();
    reader r(error);
    std::vector<element> out;
    tree_walker walker(r, out);
    for (std::size_t at = 0; at < payload.size();) {
        tlv value;
        std::size_t used = 0;
        if (!r.read(payload.data() + at, payload.size() - at, 0, value, used) || !walker.root(value)) {
            return std::nullopt;
        }
        at += used;
    }
    return out;
}

std::optional<number_path> parsePath(const std::string& text) {
    number_path path;
    std::size_t at = 0;
    while (true) {
        const std::size_t dot = text.find('.', at);
        const std::string part = text.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
        if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != std::string::npos) {
            return std::nullopt;
        }
        path.push_back(static_cast<std::uint32_t>(std::strtoul(part.c_str(), nullptr, 10)));
        if (dot == std::string::npos) return path;
        at = dot + 1;
    }
}

std::string pathText(const number_path& path) {
    std::string text;
    for (std::uint32_t number : path) text += (text.empty() ? "" : ".") + std::to_string(number);
    return text;
}

bytes getDirectory() {
    return rootHolding(getDirectoryCommand());
}

bytes getDirectory(const number_path& path, element_kind kind) {
    const std::uint32_t type = kind == element_kind::matrix ? kQualifiedMatrix : kQualifiedNode;
    return rootHolding(
        glowType(type, joined({field(kFieldNumberOrPath, relativeOidValue(path)),
                               field(kFieldChildren, collection(kElementCollection, getDirectoryCommand()))})));
}

bytes connectAbsolute(const number_path& matrix, std::uint32_t target, std::uint32_t source) {
    const bytes connection = glowType(
        kConnection,
        joined({field(kConnectionTarget, integerValue(target)), field(kConnectionSources, relativeOidValue({source})),
                field(kConnectionOperation, integerValue(kOperationAbsolute))}));
    return rootHolding(
        glowType(kQualifiedMatrix, joined({field(kFieldNumberOrPath, relativeOidValue(matrix)),
                                           field(kFieldConnections, collection(std::nullopt, connection))})));
}

}  // namespace vorn_host::glow
