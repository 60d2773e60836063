#include "dialog_template.h"

namespace {

class Reader {
public:
    explicit Reader(const BYTE *start) : start_(start), p_(start) {}
    WORD Word()
    {
        WORD v;
        memcpy(&v, p_, sizeof v);
        p_ += sizeof v;
        return v;
    }
    DWORD Dword()
    {
        DWORD v;
        memcpy(&v, p_, sizeof v);
        p_ += sizeof v;
        return v;
    }
    short Short() { return (short)Word(); }
    BYTE Byte() { return *p_++; }
    std::string WideString()
    {
        std::string s;
        for (WORD c = Word(); c; c = Word())
            s += c < 128 ? (char)c : '?';
        return s;
    }
    // A string, or 0xFFFF and an ordinal, or 0 for none.
    std::string StringOrOrdinal()
    {
        WORD first;
        memcpy(&first, p_, sizeof first);
        if (first == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return WideString();
    }
    void AlignDword()
    {
        while ((p_ - start_) % 4)
            ++p_;
    }
    void Skip(size_t n) { p_ += n; }

private:
    const BYTE *start_;
    const BYTE *p_;
};

std::string StandardClass(const std::string &name)
{
    static const char *const kAtoms[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR",
                                         "COMBOBOX"};
    if (name.size() > 1 && name[0] == '#') {
        int atom = std::stoi(name.substr(1));
        if (atom >= 0x80 && atom <= 0x85)
            return kAtoms[atom - 0x80];
    }
    return name;
}

}  // namespace

bool ReadDialogTemplate(HMODULE module, const char *name, DialogTemplate *out)
{
    HRSRC found = FindResourceA(module, name, RT_DIALOG);
    if (!found)
        return false;
    const BYTE *data = (const BYTE *)LockResource(LoadResource(module, found));
    Reader r(data);
    DialogTemplate &t = *out;
    WORD first = r.Word(), second = r.Word();
    t.extended = first == 1 && second == 0xFFFF;
    WORD count;
    if (t.extended) {
        r.Dword();  // help id
        r.Dword();  // extended style
        t.style = r.Dword();
    } else {
        Reader again(data);
        r = again;
        t.style = r.Dword();
        r.Dword();
    }
    count = r.Word();
    t.x = r.Short();
    t.y = r.Short();
    t.cx = r.Short();
    t.cy = r.Short();
    t.menu = r.StringOrOrdinal();
    t.className = r.StringOrOrdinal();
    t.title = r.WideString();
    if (t.style & (DS_SETFONT | DS_SHELLFONT)) {
        t.pointSize = r.Word();
        if (t.extended) {
            r.Word();  // weight
            r.Byte();  // italic
            r.Byte();  // character set
        }
        t.fontName = r.WideString();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        TemplateItem item;
        if (t.extended) {
            r.Dword();  // help id
            r.Dword();  // extended style
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            r.Dword();
        }
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = t.extended ? (int)r.Dword() : r.Short();
        item.className = StandardClass(r.StringOrOrdinal());
        item.text = r.StringOrOrdinal();
        WORD creationData = r.Word();  // classic templates count the size word itself
        r.Skip(t.extended ? creationData : (creationData ? creationData - 2 : 0));
        t.items.push_back(item);
    }
    return true;
}
