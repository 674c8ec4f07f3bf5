#include "stamp/Manifest.h"

#include <algorithm>
#include <vector>

namespace {

struct Attribute {
    std::string_view name;
    std::size_t valueBegin = 0, valueEnd = 0;  // between the quotes
};

struct Element {
    std::string_view name;  // as written, with its prefix
    int parent = -1;
    std::size_t begin = 0;       // the start tag's "<"
    std::size_t startEnd = 0;    // after the start tag's ">"
    std::size_t contentEnd = 0;  // the end tag's "<"; startEnd for an empty element
    bool empty = false;          // <name ... />
    bool hasChildren = false;
    std::vector<Attribute> attributes;

    std::string_view localName() const {
        std::size_t colon = name.find(':');
        return colon == std::string_view::npos ? name : name.substr(colon + 1);
    }
    std::string_view prefix() const {
        std::size_t colon = name.find(':');
        return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon + 1);
    }
    const Attribute* attribute(std::string_view wanted) const {
        for (const Attribute& a : attributes)
            if (a.name == wanted) return &a;
        return nullptr;
    }
};

struct Document {
    std::vector<Element> elements;  // in document order; the root first
    std::string error;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameEnd(char c) { return isBlank(c) || c == '/' || c == '>' || c == '<' || c == '=' || c == '"' || c == '\''; }

bool blankOnly(std::string_view text) { return std::all_of(text.begin(), text.end(), isBlank); }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The elements and their places in the text; comments, processing
// instructions and CDATA sections are passed over.
Document parse(std::string_view text) {
    Document doc;
    auto failed = [&doc](std::string error) {
        doc.elements.clear();
        doc.error = std::move(error);
        return std::move(doc);
    };
    if (text.empty()) return failed("it is empty");
    if (text.find('\0') != std::string_view::npos) return failed("it is not UTF-8 text");
    std::size_t at = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::vector<int> open;
    while (at < text.size()) {
        std::size_t tag = text.find('<', at);
        if (open.empty() && !blankOnly(text.substr(at, tag - at)))
            return failed("it has text outside its root element");
        if (tag == std::string_view::npos) break;
        std::string_view rest = text.substr(tag);
        auto skipTo = [&](std::string_view end, std::size_t from) {
            std::size_t found = text.find(end, tag + from);
            at = found == std::string_view::npos ? found : found + end.size();
            return found != std::string_view::npos;
        };
        if (rest.starts_with("<!--")) {
            if (!skipTo("-->", 4)) return failed("a comment is not closed");
            continue;
        }
        if (rest.starts_with("<![CDATA[")) {
            if (open.empty() || !skipTo("]]>", 9)) return failed("it has a CDATA section out of place");
            continue;
        }
        if (rest.starts_with("<!")) return failed("it declares a document type (<!DOCTYPE ...>)");
        if (rest.starts_with("<?")) {
            if (!skipTo("?>", 2)) return failed("a processing instruction is not closed");
            continue;
        }
        std::size_t p = tag + 1;
        bool endTag = p < text.size() && text[p] == '/';
        if (endTag) ++p;
        std::size_t nameBegin = p;
        while (p < text.size() && !isNameEnd(text[p])) ++p;
        std::string_view name = text.substr(nameBegin, p - nameBegin);
        if (name.empty()) return failed("a tag at byte " + std::to_string(tag) + " has no name");
        if (endTag) {
            while (p < text.size() && isBlank(text[p])) ++p;
            if (p == text.size() || text[p] != '>')
                return failed("the end tag </" + std::string(name) + "> is not closed");
            if (open.empty() || doc.elements[open.back()].name != name)
                return failed("the end tag </" + std::string(name) + "> closes no open element");
            doc.elements[open.back()].contentEnd = tag;
            open.pop_back();
            at = p + 1;
            continue;
        }
        if (open.empty() && !doc.elements.empty()) return failed("it has more than one root element");
        Element element;
        element.name = name;
        element.begin = tag;
        element.parent = open.empty() ? -1 : open.back();
        for (;;) {
            bool blank = false;
            while (p < text.size() && isBlank(text[p])) ++p, blank = true;
            if (p == text.size()) return failed("the tag <" + std::string(name) + "> is not closed");
            if (text[p] == '>' || text.substr(p, 2) == "/>") break;
            std::size_t attributeBegin = p;
            while (p < text.size() && !isNameEnd(text[p])) ++p;
            std::string_view attributeName = text.substr(attributeBegin, p - attributeBegin);
            while (p < text.size() && isBlank(text[p])) ++p;
            if (!blank || attributeName.empty() || p == text.size() || text[p] != '=')
                return failed("the tag <" + std::string(name) + "> is not well formed");
            ++p;
            while (p < text.size() && isBlank(text[p])) ++p;
            if (p == text.size() || (text[p] != '"' && text[p] != '\''))
                return failed("an attribute of <" + std::string(name) + "> has no quoted value");
            std::size_t close = text.find(text[p], p + 1);
            if (close == std::string_view::npos ||
                text.substr(p + 1, close - p - 1).find('<') != std::string_view::npos)
                return failed("an attribute of <" + std::string(name) + "> is not closed");
            element.attributes.push_back({attributeName, p + 1, close});
            p = close + 1;
        }
        element.empty = text[p] == '/';
        element.startEnd = p + (element.empty ? 2 : 1);
        element.contentEnd = element.startEnd;
        if (element.parent >= 0) doc.elements[element.parent].hasChildren = true;
        doc.elements.push_back(std::move(element));
        if (!doc.elements.back().empty) open.push_back(static_cast<int>(doc.elements.size() - 1));
        at = doc.elements.back().startEnd;
    }
    if (!open.empty()) return failed("its element <" + std::string(doc.elements[open.back()].name) + "> is not closed");
    if (doc.elements.empty()) return failed("it has no elements");
    if (doc.elements[0].localName() != "assembly")
        return failed("its root element is <" + std::string(doc.elements[0].name) + ">, not <assembly>");
    return doc;
}

// The one element of that (local) name; -1 when there is none, -2 when
// there are more.
int only(const Document& doc, std::string_view local) {
    int found = -1;
    for (std::size_t i = 0; i < doc.elements.size(); ++i)
        if (doc.elements[i].localName() == local) found = found == -1 ? static_cast<int>(i) : -2;
    return found;
}

// The document with the elements stamp reads and changes checked: each at
// most once, the level given, the DPI settings plain text.
Document parseChecked(std::string_view text) {
    Document doc = parse(text);
    if (!doc.error.empty()) return doc;
    for (const char* local :
         {"trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel", "dpiAware", "dpiAwareness"}) {
        int at = only(doc, local);
        if (at == -2) return {{}, "it has more than one <" + std::string(local) + ">"};
        if (at >= 0 && local[0] == 'd' && doc.elements[at].hasChildren)
            return {{}, "its <" + std::string(local) + "> holds elements, not a value"};
    }
    int level = only(doc, "requestedExecutionLevel");
    if (level >= 0 && !doc.elements[level].attribute("level"))
        return {{}, "its <requestedExecutionLevel> has no level"};
    return doc;
}

std::optional<std::string> contentOf(const Document& doc, std::string_view text, const char* local) {
    int at = only(doc, local);
    if (at < 0) return std::nullopt;
    const Element& element = doc.elements[at];
    return std::string(trimmed(text.substr(element.startEnd, element.contentEnd - element.startEnd)));
}

struct Edit {
    std::size_t begin, end;
    std::string text;
};

// The blanks that the line of a tag begins with.
std::string indentOf(std::string_view text, std::size_t tag) {
    std::size_t line = tag;
    while (line > 0 && (text[line - 1] == ' ' || text[line - 1] == '\t')) --line;
    return line == 0 || text[line - 1] == '\n' ? std::string(text.substr(line, tag - line)) : std::string();
}

}  // namespace

ManifestFacts readManifest(std::string_view text) {
    ManifestFacts facts;
    Document doc = parseChecked(text);
    if (!doc.error.empty()) {
        facts.error = doc.error;
        return facts;
    }
    int level = only(doc, "requestedExecutionLevel");
    if (level >= 0) {
        const Attribute* value = doc.elements[level].attribute("level");
        facts.executionLevel = std::string(text.substr(value->valueBegin, value->valueEnd - value->valueBegin));
    }
    facts.dpiAware = contentOf(doc, text, "dpiAware");
    facts.dpiAwareness = contentOf(doc, text, "dpiAwareness");
    return facts;
}

bool isExecutionLevel(std::string_view level) {
    return level == "asInvoker" || level == "highestAvailable" || level == "requireAdministrator";
}

EditedManifest editManifest(std::string_view text, const ManifestChanges& changes) {
    Document doc = parseChecked(text);
    if (!doc.error.empty()) return {{}, doc.error};
    std::vector<Edit> edits;
    if (changes.executionLevel) {
        int level = only(doc, "requestedExecutionLevel");
        if (level >= 0) {
            const Attribute* value = doc.elements[level].attribute("level");
            edits.push_back({value->valueBegin, value->valueEnd, *changes.executionLevel});
        } else {
            // The deepest of trustInfo > security > requestedPrivileges there
            // is gets the rest.
            static const char* const kChain[] = {"trustInfo", "security", "requestedPrivileges"};
            int parent = 0;
            std::size_t depth = 0;
            for (; depth < 3; ++depth) {
                int child = only(doc, kChain[depth]);
                if (child < 0 || doc.elements[child].parent != parent) break;
                parent = child;
            }
            const Element& into = doc.elements[parent];
            std::string newline = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
            std::string prefix = depth == 0 ? "" : std::string(into.prefix());
            std::string outer = indentOf(text, into.begin), indent = outer, inner, closing;
            for (std::size_t i = depth; i <= 3; ++i) {
                indent += "  ";
                std::string name = prefix + (i < 3 ? kChain[i] : "requestedExecutionLevel");
                inner += newline + indent + "<" + name;
                if (i == 0) inner += " xmlns=\"urn:schemas-microsoft-com:asm.v3\"";
                if (i < 3) {
                    inner += ">";
                    closing = newline + indent + "</" + name + ">" + closing;
                } else {
                    inner += " level=\"" + *changes.executionLevel + "\" uiAccess=\"false\"/>";
                }
            }
            inner += closing;
            if (into.empty) {
                edits.push_back({into.startEnd - 2, into.startEnd,
                                 ">" + inner + newline + outer + "</" + std::string(into.name) + ">"});
            } else {
                // After the last child, before the blanks that lead to the end tag.
                std::size_t at = into.contentEnd;
                while (at > into.startEnd && isBlank(text[at - 1])) --at;
                if (text.substr(at, into.contentEnd - at).find('\n') == std::string_view::npos)
                    inner += newline + outer;
                edits.push_back({at, at, inner});
            }
        }
    }
    if (changes.dpiUnaware) {
        for (auto [local, value] : {std::pair{"dpiAware", "false"}, std::pair{"dpiAwareness", "unaware"}}) {
            int at = only(doc, local);
            if (at < 0) continue;
            const Element& element = doc.elements[at];
            if (element.empty)
                edits.push_back({element.startEnd - 2, element.startEnd,
                                 ">" + std::string(value) + "</" + std::string(element.name) + ">"});
            else
                edits.push_back({element.startEnd, element.contentEnd, value});
        }
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
    std::string edited(text);
    for (const Edit& edit : edits) edited.replace(edit.begin, edit.end - edit.begin, edit.text);

    // What was meant is what the manifest now says.
    ManifestFacts after = readManifest(edited);
    bool meant = after.error.empty() && (!changes.executionLevel || after.executionLevel == changes.executionLevel) &&
                 (!changes.dpiUnaware || ((!after.dpiAware || after.dpiAware == "false") &&
                                          (!after.dpiAwareness || after.dpiAwareness == "unaware")));
    if (!meant) return {{}, "stamp cannot change it without changing more"};
    return {std::move(edited), {}};
}
