// The made-with logo the player shows before a game: a short film of ours,
// embedded in the program, played by a cinema control in the game's own
// registry. Space, Enter or a left click outside its caption ends it; a left
// click on the caption opens the link instead.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zuno {

class TVrFileManager;
class TZunoBaseList;
class TZunoCinema;

// The film's bytes (made at build time from MadeWithLogo.film).
extern const unsigned char kMadeWithLogoFilm[];
extern const size_t kMadeWithLogoFilm_size;

class TMadeWithLogo {
public:
    static constexpr const char* kFilmName = "MadeWithZunoplay\\logo.zcm";
    static const char* const kLink;              // the player's README where the package installs it

    // openLink is given the caption's address when the caption is clicked.
                        TMadeWithLogo(TVrFileManager& files, TZunoBaseList& registry,
                                      std::function<void(const std::string&)> openLink);
    // One frame step in place of the interpreter. True once the logo is
    // over: the game runs from the next frame step on.
    bool                step();
    bool                done() const { return FDone; }

private:
    void                start();
    void                finish();

    TVrFileManager&     FFiles;
    TZunoBaseList&      FRegistry;
    std::function<void(const std::string&)> FOpenLink;
    TZunoCinema*        FCinema = nullptr;
    int                 FArchive = -1;
    bool                FDone = false;
};

} // namespace zuno
