#include "core/entries/Workspace.h"

#include "core/Error.h"
#include "core/entries/TextRules.h"

namespace vorkel {

void Workspace::ShowAllEntries() {
    const auto& entries = m_master.entries();
    m_rows.resize(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) m_rows[i] = entries[i].get();
    rowsRebuilt();
}

void Workspace::ReplaceEntries(std::vector<EntryPtr> entries) {
    // The rows may point into the entries being replaced, so they are set aside first; a list
    // that refuses the new entries is left as it was, and so are its rows.
    std::vector<const Entry*> shown;
    shown.swap(m_rows);
    try {
        m_master.assign(std::move(entries));
    } catch (...) {
        m_rows.swap(shown);
        throw;
    }
    ShowAllEntries();
}

void Workspace::AppendEntries(std::vector<EntryPtr> entries) {
    for (auto& e : entries) m_master.append(std::move(e));
    ShowAllEntries();
}

void Workspace::ClearEntryList() {
    m_rows.clear();
    m_master.clear();
    ShowAllEntries();
}

void Workspace::ApplyOrder(ListOrder order) {
    sortEntryList(m_master, order, m_titles);
    ShowAllEntries();
}

void Workspace::QuickSearch(std::string_view text) {
    // An empty box shows every entry: a plain copy of the list, no search.
    if (text.empty()) return ShowAllEntries();
    m_titles.refresh(m_master);
    const auto hits = m_titles.matching(lowerAscii(text));
    m_rows.resize(hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i) m_rows[i] = m_master.at(hits[i]).get();
    rowsRebuilt();
}

Entry::Texts newEntryTexts(std::string_view created, std::string_view edited,
                           std::string_view accessed, std::string_view user) {
    Entry::Texts t;
    t[index(Field::CreateDate)] = created;
    t[index(Field::EditDate)] = edited;
    t[index(Field::CreatedBy)] = user;
    t[index(Field::ModifiedBy)] = user;
    t[index(Field::ModifyCount)] = "1";
    t[index(Field::AccessedBy)] = user;
    t[index(Field::AccessedLast)] = accessed;
    t[index(Field::AccessCount)] = "1";
    t[index(Field::AllowedAccess)] = "Private";
    return t;
}

std::size_t Workspace::AddEntry(std::string_view title, std::string_view detail,
                                std::string_view username, std::string_view email,
                                std::string_view password, std::string_view webUrl,
                                std::string_view user) {
    const std::string now = formatDateTime(m_clock.now());
    const std::string texts[] = {
        sanitizeText(title),    sanitizeText(detail), sanitizeText(username), sanitizeText(email),
        sanitizeText(password), sanitizeText(webUrl), sanitizeText(user)};
    Entry::Texts t = newEntryTexts(now, now, now, texts[6]);
    t[index(Field::Title)] = texts[0];
    t[index(Field::Detail)] = texts[1];
    t[index(Field::Password)] = texts[4];
    t[index(Field::Username)] = texts[2];
    t[index(Field::Email)] = texts[3];
    t[index(Field::WebURL)] = texts[5];
    m_master.append(Entry::create(m_master.nextId(), t));
    ShowAllEntries();
    return m_rows.size() - 1;
}

void Workspace::StoreEntry(std::optional<std::size_t> row, const EditorFields& f,
                           std::string_view user) {
    if (!row || *row >= m_rows.size()) return;
    auto pos = m_master.positionOf(m_rows[*row]->id());
    if (!pos) return;  // the row's entry was deleted; edits have nowhere to go
    const Entry& old = *m_master.at(*pos);
    Entry::Texts t = old.texts();

    // Kept alive until the new entry has copied them.
    const std::string title = sanitizeText(f.title),
                      detail = notesFromEditorText(sanitizeText(f.notes)),
                      password = sanitizeText(f.password), passphrase = sanitizeText(f.passphrase),
                      type = sanitizeText(f.type), expires = sanitizeText(f.expires),
                      username = sanitizeText(f.username), email = sanitizeText(f.email),
                      webUrl = sanitizeText(f.webUrl), who = sanitizeText(user);
    std::string editDate = formatDateTime(m_clock.now()), modifyCount, accessedLast, accessCount;

    auto commit = [&] {
        EntryPtr previous = m_master.replace(*pos, Entry::create(old.id(), t));
        // The row shows the value of its last rebuild; any later one no row shows is let go.
        if (previous.get() == m_rows[*row]) m_retired.push_back(std::move(previous));
    };
    t[index(Field::Title)] = title;
    t[index(Field::Detail)] = detail;
    t[index(Field::Password)] = password;
    t[index(Field::Passphrase)] = passphrase;
    t[index(Field::EditDate)] = editDate;
    t[index(Field::Type)] = type;
    t[index(Field::Expires)] = expires;
    t[index(Field::Username)] = username;
    t[index(Field::Email)] = email;
    t[index(Field::WebURL)] = webUrl;
    t[index(Field::ModifiedBy)] = who;
    // The fields before a bad counter are stored all the same, as each write happens in order.
    try {
        modifyCount = std::to_string(toInteger(old.get(Field::ModifyCount), "ModifyCount") + 1);
        t[index(Field::ModifyCount)] = modifyCount;
        t[index(Field::AccessedBy)] = who;
        accessedLast = formatDateTime(m_clock.now());
        t[index(Field::AccessedLast)] = accessedLast;
        accessCount = std::to_string(toInteger(old.get(Field::AccessCount), "AccessCount") + 1);
        t[index(Field::AccessCount)] = accessCount;
    } catch (const ConversionError&) {
        commit();
        throw;
    }
    commit();
}

std::optional<std::size_t> Workspace::DeleteEntry(std::size_t row) {
    if (row >= m_rows.size()) return std::nullopt;
    if (auto pos = m_master.positionOf(m_rows[row]->id())) {
        m_rows.clear();
        m_master.remove(*pos);
    }
    ShowAllEntries();
    if (m_rows.empty() || row == 0) return std::nullopt;
    return std::min(row - 1, m_rows.size() - 1);
}

EntryPtr Workspace::CopyEditorIntoRow(std::size_t row, const EditorFields& fields) {
    if (row >= m_rows.size()) return nullptr;
    // Kept alive until the copy has taken them.
    const std::string title = sanitizeText(fields.title),
                      detail = notesFromEditorText(sanitizeText(fields.notes));
    Entry::Texts t = m_rows[row]->texts();
    t[index(Field::Title)] = title;
    t[index(Field::Detail)] = detail;
    EntryPtr copy = Entry::create(m_rows[row]->id(), t);
    m_rows[row] = copy.get();
    m_retired.push_back(copy);
    return copy;
}

EntryPtr Workspace::entryOfRow(std::size_t row) const {
    return row < m_rows.size() ? m_master.find(m_rows[row]->id()) : nullptr;
}

EditorFields Workspace::editorFields(const Entry& e) {
    return {std::string(e.get(Field::Title)),         std::string(e.get(Field::WebURL)),
            std::string(e.get(Field::Username)),      std::string(e.get(Field::Email)),
            std::string(e.get(Field::Password)),      std::string(e.get(Field::Passphrase)),
            std::string(e.get(Field::Type)),          std::string(e.get(Field::Expires)),
            editorTextFromNotes(e.get(Field::Detail))};
}

}  // namespace vorkel
