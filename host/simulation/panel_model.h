#pragma once
// The host's picture of its panels: each shown panel's controls and their properties, in the
// order they were first seen.
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace vorn_host {

class panel_model {
public:
    using properties = std::vector<std::pair<std::string, std::string>>;

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

    // How the panels look, for a view that draws them.
    struct control_view {
        std::string id, kind;
        int items;
        properties values;
    };
    struct panel_view {
        std::string id;
        std::vector<control_view> controls;
    };
    std::vector<panel_view> view() const;

    // Every (panel, control) the shown panels hold, in order.
    std::vector<std::pair<std::string, std::string>> controls() const;

private:
    struct control {
        std::string id;
        properties values;
        bool listed = false;  // the shown panel file lists it
        std::string kind;     // as the panel file draws it: list, button, label, or control
        int items = 0;        // a list's items, numbered from 1
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

// The panel file's keywords for a control line, "KIND ID name=value ...": how a view draws it.
// A list's "items=N" gives its item count and is no property.
const char kPanelFileControl[] = "control";
const char kPanelFileList[] = "list";
const char kPanelFileButton[] = "button";
const char kPanelFileLabel[] = "label";
const char kPanelFileItems[] = "items";

}  // namespace vorn_host
