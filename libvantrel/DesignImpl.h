#pragma once
// What a compiled design holds: the model as given, the same as the engine takes it (previous
// tests by their levels' plain names), its constraints compiled once, and its names' lookup.

#include <vantrel/design.hpp>

#include "engine/ConstraintModel.h"
#include "engine/DesignTables.h"
#include "engine/LevelLookup.h"

#include <memory>

struct vantrel::Design::Impl {
    Impl(Model given, DesignTables engineTables, std::shared_ptr<const ConstraintModel> compiled)
        : model(std::move(given)), tables(std::move(engineTables)), constraints(std::move(compiled)), lookup(tables)
    {
    }
    Model model;
    DesignTables tables;
    std::shared_ptr<const ConstraintModel> constraints;
    LevelLookup lookup;

    int32_t Entry(LevelRef level) const { return constraints->LevelOffset()[size_t(level.factor)] + level.level; }
    LevelRef RefOf(int32_t entry) const
    {
        const int32_t f = constraints->LevelFactor()[size_t(entry)];
        return {f, entry - constraints->LevelOffset()[size_t(f)]};
    }
    Statements StatementsOf(const ConstraintModel::Statements& statements) const;
};
