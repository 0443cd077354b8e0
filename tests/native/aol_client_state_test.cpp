#include <gtest/gtest.h>

#include <string>

#include "aol/AOLClientState.h"

namespace glimra {
namespace {

TEST(AolClientFacts, FolderComesFromTheWaolPathInAnyCase) {
  EXPECT_EQ(AolFolderFromModulePath("C:\\America Online 4.0\\WAOL.EXE"), "C:\\America Online 4.0");
  EXPECT_EQ(AolFolderFromModulePath("c:\\aol40\\waol.exe"), "c:\\aol40");
  EXPECT_FALSE(AolFolderFromModulePath("C:\\AOL30\\AOL.EXE").has_value());  // the 16-bit client
  EXPECT_FALSE(AolFolderFromModulePath("").has_value());
}

TEST(AolClientFacts, OnlyWholeVersionsAreTaken) {
  EXPECT_EQ(VersionFromRelayAnswer("4.0"), "4");
  EXPECT_EQ(VersionFromRelayAnswer("5.0"), "5");
  EXPECT_EQ(VersionFromRelayAnswer("3.0"), "3");
  EXPECT_FALSE(VersionFromRelayAnswer("4.1").has_value());
  EXPECT_FALSE(VersionFromRelayAnswer("").has_value());
}

TEST(AolClientFacts, ScreenNameBuffers) {
  EXPECT_EQ(ScreenNameFromBuffer(std::string("  Jane Doe") + '\0' + "garbage   "), "Jane Doe");
  EXPECT_EQ(ScreenNameFromBuffer(std::string(175, ' ')), "");
  EXPECT_EQ(ScreenNameFromBuffer("Bob" + std::string(172, ' ')), "Bob");
}

TEST(AolClientFacts, WelcomeCaption) {
  EXPECT_EQ(ScreenNameFromWelcomeCaption("Welcome, Jane Doe!"), "Jane Doe");
  EXPECT_EQ(ScreenNameFromWelcomeCaption("Welcome,SomeOne!  "), "SomeOne");
  EXPECT_EQ(ScreenNameFromWelcomeCaption("Welcome, Jane "), "Jane");  // no "!": up to the end
}

TEST(AolClientFacts, SignOnAndSignOffCaptions) {
  EXPECT_EQ(SignOnCaption("4"), "Sign On");
  EXPECT_EQ(SignOnCaption("5"), "Sign On");
  EXPECT_EQ(SignOnCaption("3"), "Welcome");
  AOLClientState state;
  EXPECT_EQ(SignOffCaption(state), "Goodbye From America Online!");
  state.EditionCanada = kTrue;
  EXPECT_EQ(SignOffCaption(state), "Goodbye From AOL Canada!");
  state.EditionAustralia = kTrue;
  EXPECT_EQ(SignOffCaption(state), "Goodbye From AOL!");
}

// Each edition on its own, as the client reports exactly one.
TEST(AolClientFacts, SignOffCaptionForEachEditionAlone) {
  AOLClientState uk;
  uk.EditionUK = kTrue;
  EXPECT_EQ(SignOffCaption(uk), "Goodbye From AOL!");
  AOLClientState canada;
  canada.EditionCanada = kTrue;
  EXPECT_EQ(SignOffCaption(canada), "Goodbye From AOL Canada!");
  AOLClientState australia;
  australia.EditionAustralia = kTrue;
  EXPECT_EQ(SignOffCaption(australia), "Goodbye From AOL!");
  EXPECT_EQ(SignOffCaption(AOLClientState{}), "Goodbye From America Online!");
}

}  // namespace
}  // namespace glimra
