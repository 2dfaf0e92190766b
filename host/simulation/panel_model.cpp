#include "panel_model.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vorn_host {

namespace {

const char kAllProperties[] = "all";

}  // namespace

bool panel_model::show(const std::string& panelId, const std::string& filePath, std::string& error) {
    std::ifstream file(filePath);
    if (!file) {
        error = "cannot read panel file " + filePath;
        return false;
    }
    panel loaded{panelId, {}};
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::istringstream words(line);
        std::string keyword, id, setting;
        if (!(words >> keyword) || keyword[0] == '#') continue;
        const bool known = keyword == kPanelFileControl || keyword == kPanelFileList || keyword == kPanelFileButton ||
                           keyword == kPanelFileLabel;
        if (!known || !(words >> id)) {
            error =
                filePath + ":" + std::to_string(number) + ": expected: control|list|button|label ID [name=value ...]";
            return false;
        }
        control& c = controlNamed(loaded, id);
        c.listed = true;
        c.kind = keyword;
        while (words >> setting) {
            const size_t equals = setting.find('=');
            const std::string name = setting.substr(0, equals);
            const std::string value = equals == std::string::npos ? "" : setting.substr(equals + 1);
            if (keyword == kPanelFileList && name == kPanelFileItems) {
                c.items = std::atoi(value.c_str());
            } else {
                set(c.values, name, value);
            }
        }
    }
    panelNamed(panelId) = loaded;
    return true;
}

void panel_model::put(const std::string& panelId, const std::string& controlId, const std::string& property,
                      const std::string& value) {
    set(controlNamed(panelNamed(panelId), controlId).values, property, value);
}

std::optional<std::string> panel_model::get(const std::string& panelId, const std::string& controlId,
                                            const std::string& property) const {
    const panel* p = findPanel(panelId);
    if (!p) return std::nullopt;
    for (const control& c : p->controls) {
        if (c.id != controlId) continue;
        std::string all;
        for (const auto& [name, value] : c.values) {
            if (property == kAllProperties) {
                all += (all.empty() ? "" : "\n") + name + "=" + value;
            } else if (name == property) {
                return name + "=" + value;
            }
        }
        if (property == kAllProperties) return all;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> panel_model::controlIds(const std::string& panelId, const std::string& filter) const {
    const panel* p = findPanel(panelId);
    if (!p) return std::nullopt;
    std::string ids;
    for (const control& c : p->controls) {
        if (c.id.compare(0, filter.size(), filter) != 0) continue;
        ids += (ids.empty() ? "" : ",") + c.id;
    }
    return ids;
}

void panel_model::print(std::ostream& out) const {
    for (const panel& p : m_panels) {
        out << "panel " << p.id << "\n";
        for (const control& c : p.controls) {
            out << "  " << c.id;
            for (const auto& [name, value] : c.values) out << " " << name << "=" << value;
            out << "\n";
        }
    }
}

panel_model::panel& panel_model::panelNamed(const std::string& id) {
    for (panel& p : m_panels) {
        if (p.id == id) return p;
    }
    m_panels.push_back({id, {}});
    return m_panels.back();
}

const panel_model::panel* panel_model::findPanel(const std::string& id) const {
    for (const panel& p : m_panels) {
        if (p.id == id) return &p;
    }
    return nullptr;
}

panel_model::control& panel_model::controlNamed(panel& p, const std::string& id) {
    for (control& c : p.controls) {
        if (c.id == id) return c;
    }
    p.controls.push_back({id, {}, false, "", 0});
    return p.controls.back();
}

void panel_model::set(properties& values, const std::string& name, const std::string& value) {
    for (auto& entry : values) {
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    }
    values.emplace_back(name, value);
}

std::vector<std::pair<std::string, std::string>> panel_model::controls() const {
    std::vector<std::pair<std::string, std::string>> all;
    for (const panel& p : m_panels) {
        for (const control& c : p.controls) all.emplace_back(p.id, c.id);
    }
    return all;
}

bool panel_model::lists(const std::string& panelId, const std::string& controlId) const {
    const panel* p = findPanel(panelId);
    if (!p) return false;
    for (const control& c : p->controls) {
        if (c.id == controlId) return c.listed;
    }
    return false;
}

std::vector<panel_model::panel_view> panel_model::view() const {
    std::vector<panel_view> panels;
    for (const panel& p : m_panels) {
        panel_view shown{p.id, {}};
        for (const control& c : p.controls) {
            shown.controls.push_back({c.id, c.kind.empty() ? kPanelFileControl : c.kind, c.items, c.values});
        }
        panels.push_back(shown);
    }
    return panels;
}

}  // namespace vorn_host
