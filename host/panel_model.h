#pragma once
// The host's picture of its panels: each shown panel's controls and their properties, in the
// order they were first seen.
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class panel_model {
public:
    // Shows `panel` with the controls that the panel file lists, replacing what it held.
    // False, with the reason in `error`, when the file cannot be read or parsed.
    bool show(const std::string& panel, const std::string& filePath, std::string& error);

    void put(const std::string& panel, const std::string& control, const std::string& property,
             const std::string& value);
    // "property=value"; every property, one "name=value" a line, for "all"; null when the
    // panel, the control or the property is unknown.
    std::optional<std::string> get(const std::string& panel, const std::string& control,
                                   const std::string& property) const;
    // The panel's control identifiers that begin with `filter`, joined by ","; null when the
    // panel is unknown.
    std::optional<std::string> controlIds(const std::string& panel, const std::string& filter) const;

    void print(std::ostream& out) const;

    // Whether a panel file shown as `panel` lists the control.
    bool lists(const std::string& panel, const std::string& control) const;

    // Every (panel, control) the shown panels hold, in order.
    std::vector<std::pair<std::string, std::string>> controls() const;

private:
    using properties = std::vector<std::pair<std::string, std::string>>;
    struct control {
        std::string id;
        properties values;
        bool listed = false;  // the shown panel file lists it
    };
    struct panel {
        std::string id;
        std::vector<control> controls;
    };

    panel& panelNamed(const std::string& id);
    const panel* findPanel(const std::string& id) const;
    static control& controlNamed(panel& p, const std::string& id);
    static void set(properties& values, const std::string& name, const std::string& value);

    std::vector<panel> m_panels;
};

// The panel file's keyword for a control line: "control ID name=value ...".
const char kPanelFileControl[] = "control";
