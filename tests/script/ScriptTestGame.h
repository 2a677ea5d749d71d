// Small games for interpreter tests: pages built with the page writer,
// expressions with the expression compiler, zuno.zpb with the project writer,
// all packed into game.dat by the archive writer in a fresh folder. The
// engine pieces run frame by frame with a 16 ms clock and collect the trace.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "archive/TKsBigStream.h"
#include "archive/TVrFileCollection.h"
#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/ZunoCalc.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomImage.h"
#include "script/ComFlow.h"
#include "script/ScriptSystemVars.h"
#include "script/TPage.h"
#include "script/TProject.h"
#include "script/TProjectSetting.h"
#include "support/TTempFolder.h"

namespace zuno::test {

// Builder of one page: each Add appends a command with line = index + 1.
class TPageBuilder {
public:
    explicit TPageBuilder(std::string name) : Name(std::move(name)), Page(std::make_unique<TPage>()) {
        Page->SetVersion(113);
    }

    template <class T>
    T& Add(int indent = 0, bool cont = true) {                              // a command of class T
        return dynamic_cast<T&>(add(T::Type, indent, cont));
    }
    template <class T>
    T& AddOf(TCommandType type, int indent = 0, bool cont = true) {         // a command of a type of class T
        return dynamic_cast<T&>(add(type, indent, cont));
    }
    // Shorthands for the commands the tests use most.
    TComWhileInit& Let(const std::string& statement, int indent = 0) {     // a statement (continue always)
        auto& c = Add<TComWhileInit>(indent);
        c.FExpression = compileExpr(sjis(statement));
        return c;
    }
    TComLabel& Label(const std::string& name, int indent = 0, bool cont = true) {
        auto& c = Add<TComLabel>(indent, cont);
        c.FName = name;
        return c;
    }
    TComIf& If(TCommandType type, const std::string& cond, int indent = 0) {  // ctIf or ctElseif
        auto& c = dynamic_cast<TComIf&>(add(type, indent, true));
        if (!cond.empty())
            c.FCondition = compileExpr(sjis(cond));
        return c;
    }
    TComJump& Jump(const std::string& page, int target = 0, const std::string& cond = "TRUE") {
        auto& c = Add<TComJump>();
        c.FPageFile = page;
        c.FTargetIndex = target;
        if (!cond.empty())
            c.FCondition = compileExpr(sjis(cond));
        return c;
    }
    TComWait& Wait(const std::string& time, const std::string& cond = "", const std::string& lock = "") {
        auto& c = Add<TComWait>(0, false);
        if (!time.empty())
            c.FTime = compileExpr(sjis(time));
        if (!cond.empty())
            c.FCondition = compileExpr(sjis(cond));
        if (!lock.empty())
            c.FEventLock = compileExpr(sjis(lock));
        return c;
    }
    TComCall& Call(const std::string& page, const std::vector<std::string>& args = {},
                   const std::string& resultVar = "", int target = 0) {
        auto& c = Add<TComCall>();
        c.FCondition = compileExpr("TRUE");     // a Call without condition does not run
        c.FPageFile = page;
        c.FTargetIndex = target;
        c.FResultVar = resultVar;
        for (const std::string& a : args)
            c.FArguments.push_back(a.empty() ? TExprPtr() : compileExpr(sjis(a)));
        return c;
    }

    std::string Name;
    std::unique_ptr<TPage> Page;

private:
    TCommand& add(TCommandType type, int indent, bool cont) {
        TCommand& c = Page->AddNew(type);
        c.FIndent = indent;
        c.FContinue = cont ? 1 : 0;
        c.FLine = Page->CommandCount();
        return c;
    }
};

struct TGameSetup {
    std::vector<TPageBuilder*> Pages;
    std::string StartPage = "main.zsb";
    std::string ExitPage;
    std::vector<TInitVariable> Variables;
    bool KeepStatus = true;
    std::vector<TFolderDisk> FolderDisks;
    // Other game files (pictures ...): name and bytes.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> Files;
};

inline TInitVariable intVar(const std::string& name, int32_t v) {
    TInitVariable r;
    r.Type = 1;
    r.Name = sjis(name);
    r.IntValue = v;
    return r;
}
inline TInitVariable strVar(const std::string& name, const std::string& v) {
    TInitVariable r;
    r.Type = 4;
    r.Name = sjis(name);
    r.StrValue = sjis(v);
    return r;
}

// Writes FOLDER/game.dat holding zuno.zpb and the pages.
inline void writeGame(const std::string& folder, const TGameSetup& setup) {
    TVrFileCollection archive;
    TProjectSetting project;
    project.FTitle = sjis("テスト");
    project.FScreenWidth = 64;
    project.FScreenHeight = 48;
    project.FStartPage = setup.StartPage;
    project.FExitPage = setup.ExitPage;
    project.FKeepStatus = setup.KeepStatus ? 1 : 0;
    project.FVariables = setup.Variables;
    project.FFolderDisks = setup.FolderDisks;
    project.SaveToStream(*archive.AddMemoryEntry("zuno.zpb")->Data);
    for (TPageBuilder* p : setup.Pages)
        p->Page->SaveToStream(*archive.AddMemoryEntry(p->Name)->Data);
    for (const auto& [name, bytes] : setup.Files)
        archive.AddMemoryEntry(name)->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
    TKsBigMemoryStream image;
    archive.SaveToStream(image);
    image.SaveToFile(folder + "game.dat");
}

// The engine pieces of one run, driven frame by frame.
class TScriptGame {
public:
    // The folder is the player's argument, or, with asArgument false, the
    // player's own folder (started without arguments).
    explicit TScriptGame(const std::string& folder, bool asArgument = true) : Funcs(Params) {
        installCalc(Funcs);
        Funcs.SetRandomSeed(0);
        Env.Files = &Files;
        Env.Params = &Params;
        Env.Funcs = &Funcs;
        Env.Registry = &Registry;
        Env.Trace = [this](const std::string& line) { Trace.push_back(line); };
        Env.Warning = [this](const std::string&, const std::string& text) { Warnings.push_back(cp932ToUtf8(text)); };
        TProjectStartInfo info;
        if (asArgument)
            info.Arguments = {folder};
        info.ExecutableFolder = folder;
        Project = std::make_unique<TProject>(Env, info);
        installScriptSystemVariables(Env, *Project);
        // As in the game run: pictures come through the game's files, loop
        // waits are expressions over the game's variables.
        TDrelCollection::Instance().SetFileManager(&Files);
        TZunoCustomImages::LoopWaitEvaluator = [this](TZunoParser& expression) {
            expression.Execute(Funcs);
            const TCustomParam* r = expression.Result();
            return r ? r->AsInteger() : 0;
        };
    }

    // The project goes first: its exit page still traces into Trace and
    // uses the variables, which are members declared before it or after it.
    // The objects go before the file manager the image cache reads.
    ~TScriptGame() {
        Project.reset();
        Registry.Reset();
        TDrelCollection::Instance().SetFileManager(nullptr);
        TZunoCustomImages::LoopWaitEvaluator = nullptr;
    }

    bool Start() {
        Registry.SetSize(64, 48);
        return Project->Create();
    }
    // The frame step without composition: input, interpreter, object
    // update, game load and save requests.
    void Frame() {
        Env.GameClock += 16;
        Env.LastFrameDuration = 16;
        Registry.InputStep(16);
        Project->RunFrame();
        Registry.Update(16);
        ++Env.UpdateCount;
        Project->ApplyPending();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    std::string Var(const std::string& name) {
        TParamCollectionItem* it = Params.Find(sjis(name));
        return it ? cp932ToUtf8(it->Value()->AsString()) : std::string("<none>");
    }
    TCallMan& CallMan() { return *Project->CallMan(); }
    // Trace lines without the clock: "main.zsb(3)".
    std::vector<std::string> Lines() const {
        std::vector<std::string> r;
        for (const std::string& l : Trace)
            r.push_back(l.substr(11));
        return r;
    }

    TVrFileManager Files;
    TParamCollection Params;
    TSysFuncMan Funcs;
    TZunoBaseList Registry;
    TScriptEnv Env;
    std::unique_ptr<TProject> Project;
    std::vector<std::string> Trace;
    std::vector<std::string> Warnings;
};

} // namespace zuno::test
