-- Text compares as its collation says: the default collations ignore case,
-- binary and case-sensitive ones do not.
CREATE TABLE `members` (
  `id` int(11) NOT NULL AUTO_INCREMENT,
  `name` varchar(40) NOT NULL,
  `code` char(4) NOT NULL DEFAULT 'abcd',
  `bio` text,
  `token` varchar(32) COLLATE utf8mb4_bin NOT NULL DEFAULT '',
  `legacy` varchar(10) BINARY DEFAULT NULL,
  `raw` varbinary(8) DEFAULT NULL,
  PRIMARY KEY (`id`),
  UNIQUE KEY `name` (`name`),
  UNIQUE KEY `token` (`token`),
  UNIQUE KEY `bio_start` (`bio`(8))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;

CREATE TABLE `secrets` (
  `k` varchar(20) NOT NULL,
  `label` varchar(20) COLLATE utf8mb4_general_ci DEFAULT NULL,
  `note` tinytext CHARACTER SET latin1,
  PRIMARY KEY (`k`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;

-- A foreign key between collations takes the type it references.
CREATE TABLE `notes` (
  `member` varchar(40) COLLATE utf8mb4_bin NOT NULL,
  CONSTRAINT `notes_member` FOREIGN KEY (`member`) REFERENCES `members` (`name`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

ALTER TABLE `members` ADD COLUMN `nick` varchar(16) DEFAULT NULL;
ALTER TABLE `members` MODIFY `code` varchar(6) NOT NULL DEFAULT 'abcd';
ALTER TABLE `secrets` ADD COLUMN `hint` varchar(12) DEFAULT NULL;

INSERT INTO `members` (`name`, `code`, `bio`, `token`, `nick`) VALUES
  ('Bob', 'AB', 'Likes Tea', 'Tok', 'bobby'),
  ('ann', 'abcdef', NULL, 'tok', NULL);
INSERT INTO `secrets` VALUES ('Key', 'Label', 'Note', 'Hint');
INSERT INTO `notes` VALUES ('bob');
