#include "installer/database_statements.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(DatabaseStatements, APropertyIsInsertedThenUpdatedWithItsLineBreaksRestored) {
    EXPECT_EQ(PropertyStatements("NOTES", "one$NEWLINE$two"),
              (std::vector<std::string>{
                  "INSERT INTO `Property` ( `Property` , `Value` ) VALUES ( 'NOTES' , 'one\r\ntwo' )",
                  "UPDATE `Property` SET `Value`='one\r\ntwo' WHERE `Property`='NOTES'",
              }));
    EXPECT_EQ(ProductCodeStatement("{A}"), "UPDATE `Property` SET `Value`='{A}' WHERE `Property`='ProductCode'");
}

TEST(DatabaseStatements, ShortcutUpdatesTakeCompleteTriplesOnly) {
    EXPECT_EQ(ShortcutUpdateStatements({"PQV3_1", "APP~1|App", "Starts it", "PQV4_1"}),
              (std::vector<std::string>{
                  "UPDATE `Shortcut` SET `Name`='APP~1|App' WHERE `Directory_`='PQV3_1'",
                  "UPDATE `Shortcut` SET `Description`='Starts it' WHERE `Directory_`='PQV3_1'",
              }));
    EXPECT_TRUE(ShortcutUpdateStatements({"PQV3_1", "APP~1|App"}).empty());
}

TEST(DatabaseStatements, AProgIdGetsItsDescriptionBeforeItsNewName) {
    EXPECT_EQ(ProgIdUpdateStatements({"Old.Doc", "New.Doc", "Document", "A", "B", "C"}),
              (std::vector<std::string>{
                  "UPDATE `ProgId` SET `Description`='Document' WHERE `ProgId`='Old.Doc'",
                  "UPDATE `ProgId` SET `ProgId`='New.Doc' WHERE `ProgId`='Old.Doc'",
                  "UPDATE `ProgId` SET `Description`='C' WHERE `ProgId`='A'",
                  "UPDATE `ProgId` SET `ProgId`='B' WHERE `ProgId`='A'",
              }));
}
