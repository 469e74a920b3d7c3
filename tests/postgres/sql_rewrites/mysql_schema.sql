-- The tables of queries.php as the MySQL application created them; the
-- SQL checks hold the queries against them (schema.sql is their
-- PostgreSQL form, loaded on the server).
CREATE TABLE `users` (
  `id` int NOT NULL AUTO_INCREMENT,
  `name` varchar(40),
  `order` int,
  `created` datetime,
  `score` int,
  PRIMARY KEY (`id`)
);
CREATE TABLE `user` (`id` int, `login` varchar(40));
CREATE TABLE `sessions` (`user` varchar(40), `started` datetime);
CREATE TABLE `log` (`id` int, `msg` varchar(80));
CREATE TABLE `scores` (
  `id` int NOT NULL AUTO_INCREMENT,
  `points` tinyint NOT NULL,
  `rate` decimal(5,2),
  PRIMARY KEY (`id`)
);
CREATE TABLE `counters` (
  `id` int NOT NULL AUTO_INCREMENT,
  `name` varchar(20) NOT NULL,
  `hits` int NOT NULL DEFAULT 0,
  PRIMARY KEY (`id`),
  UNIQUE KEY `name` (`name`)
);
-- MySQL's zero dates: the conversion holds NULL for them where the column
-- defaults to one (it becomes nullable) and '-infinity' in a NOT NULL one.
CREATE TABLE `posts` (
  `id` int NOT NULL,
  `deleted` datetime NOT NULL DEFAULT '0000-00-00 00:00:00',
  `published` date NOT NULL,
  PRIMARY KEY (`id`)
);
CREATE TABLE `teams` (`id` int NOT NULL, `name` varchar(20), `bonus` int, PRIMARY KEY (`id`));
CREATE TABLE `members` (`id` int NOT NULL, `team_id` int, `points` int, PRIMARY KEY (`id`));
CREATE TABLE `logins` (`name` varchar(20));
CREATE TABLE `tickets` (
  `id` int NOT NULL,
  `status` enum('new','open','closed') NOT NULL,
  PRIMARY KEY (`id`)
);
