# Install schema of a small ticket tracker (MySQL 5.x)
# Run with: mysql tracker < install.sql

SET FOREIGN_KEY_CHECKS=0;

DROP TABLE IF EXISTS `tt_tickets`, `tt_projects`;

CREATE TABLE IF NOT EXISTS `tt_projects` (
  `id` smallint(5) unsigned NOT NULL auto_increment,
  `code` char(8) character set ascii NOT NULL COMMENT 'Short code, e.g. WEB',
  `title` varchar(100) collate utf8_unicode_ci NOT NULL default '',
  `active` tinyint(1) NOT NULL default '1',
  `budget` decimal(12,2) unsigned zerofill default NULL,
  `settings` json DEFAULT NULL,
  `started` year(4) default NULL,
  PRIMARY KEY  (`id`),
  UNIQUE KEY `code` (`code`)
) ENGINE=MyISAM  DEFAULT CHARSET=utf8 COLLATE=utf8_unicode_ci COMMENT='Projects' AUTO_INCREMENT=1 ;

CREATE TABLE IF NOT EXISTS `tt_tickets` (
  `ticket_id` int(10) unsigned NOT NULL AUTO_INCREMENT,
  `project_id` smallint(5) unsigned NOT NULL,
  `user` varchar(32) NOT NULL,
  `order` int(11) NOT NULL DEFAULT '0',
  `priority` enum('low','normal','high','urgent') NOT NULL DEFAULT 'normal',
  `summary` varchar(255) NOT NULL,
  `details` mediumtext,
  `attachment` longblob,
  `estimate` double(8,2) DEFAULT NULL,
  `due` date NOT NULL DEFAULT '0000-00-00',
  `closed_at` datetime DEFAULT NULL,
  `created` timestamp NOT NULL DEFAULT CURRENT_TIMESTAMP,
  `changed` timestamp NOT NULL DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP,
  PRIMARY KEY (`ticket_id`),
  KEY `project` (`project_id`,`priority`),
  KEY `user` (`user`),
  FULLTEXT KEY `ft_text` (`summary`,`details`),
  CONSTRAINT `fk_ticket_project` FOREIGN KEY (`project_id`) REFERENCES `tt_projects` (`id`) ON DELETE CASCADE ON UPDATE CASCADE
) ENGINE=InnoDB DEFAULT CHARSET=utf8 AUTO_INCREMENT=1000;

INSERT INTO tt_projects (id, code, title, active, settings) VALUES (NULL, 'WEB', 'Web site', 1, '{"color": "blue"}');
INSERT INTO tt_projects VALUES (NULL, 'OPS', 'Operations', 0, NULL, '{}', 2019);
INSERT INTO `tt_projects` SET `code` = 'SET', title = 'Set form: O\'Hara', active = 0;
INSERT IGNORE INTO tt_projects (code, title) VALUES ('WEB', 'Duplicate is skipped');
REPLACE INTO tt_projects (id, code, title) VALUES (2, 'OPS', 'Operations (renamed)');
INSERT INTO tt_projects (code, title) VALUES ('WEB', 'Web site (renamed)') ON DUPLICATE KEY UPDATE title = VALUES(title);
INSERT INTO tt_projects (code, title, started) VALUES ('HASH', PASSWORD('secret'), YEAR('2021-06-01')), ('SHA', SHA1('abc'), NULL);
INSERT INTO tt_tickets (project_id, user, `order`, priority, summary, due) VALUES
  (1, 'ann', 1, 'high', 'Broken link on the # page -- see log', '2024-05-01'),
  (1, 'bob', 2, 'low', 'Typo /* in */ footer', '0000-00-00');
INSERT INTO tt_tickets (ticket_id, project_id, user, summary) VALUES (5000, 2, 'carl', 'Imported ticket');
INSERT INTO tt_tickets (project_id, user, summary) VALUES (2, 'dora', 'After the import')
  ON DUPLICATE KEY UPDATE summary = VALUES(summary), `order` = IFNULL(`order`, 0) + 1;
UPDATE tt_tickets SET estimate = 1.5 WHERE due = '0000-00-00' AND user = 'bob';

DELIMITER $$
CREATE TRIGGER tt_tickets_closed BEFORE UPDATE ON tt_tickets
FOR EACH ROW BEGIN
  IF NEW.priority = 'low' THEN SET NEW.closed_at = NOW(); END IF;
END$$
DELIMITER ;

SET FOREIGN_KEY_CHECKS=1;
