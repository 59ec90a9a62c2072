#include "report/definition/detail/RepDefClass.h"

const TRepDefClass *TRepDefClasses::Named(const QString &name) const
{
    for (const TRepDefClass *cls : All)
        if (cls->Name == name)
            return cls;
    return nullptr;
}

const TRepDefClass *TRepDefClasses::Of(TRepControl &control) const
{
    for (const TRepDefClass *cls : All)
        if (cls->Create && cls->Holds(control))
            return cls;
    return nullptr;
}

const TRepDefProperty *TRepDefClass::Find(const QString &name) const
{
    for (const TRepDefClass *cls = this; cls; cls = cls->Base)
        for (const TRepDefProperty &p : cls->Properties)
            if (p.Name == name)
                return &p;
    return nullptr;
}

std::vector<const TRepDefProperty *> TRepDefClass::WritingOrder() const
{
    std::vector<const TRepDefClass *> chain;
    for (const TRepDefClass *cls = this; cls; cls = cls->Base)
        chain.insert(chain.begin(), cls);
    std::vector<const TRepDefProperty *> order;
    for (int section = 0; section <= int(TRepDefSection::Lengths); ++section)
        for (const TRepDefClass *cls : chain)
            for (const TRepDefProperty &p : cls->Properties)
                if (int(p.Section) == section && p.Write && Find(p.Name) == &p) // not replaced further down
                    order.push_back(&p);
    return order;
}

std::vector<TRepControl *> TRepDefClass::ChildrenOf(TRepControl &control) const
{
    for (const TRepDefClass *cls = this; cls; cls = cls->Base)
        if (cls->Children)
            return cls->Children(control);
    return {};
}
